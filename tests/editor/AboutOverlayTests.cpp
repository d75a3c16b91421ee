#include "MessagePump.h"
#include "EditorTestSupport.h"
#include "BrindlexVersion.h"

namespace
{
    struct PanelPlace
    {
        int editorWidth, editorHeight;
        juce::Point<int> panelTopLeft;
    };
}

class AboutOverlayPlacementTest : public EditorTest,
                                  public ::testing::WithParamInterface<PanelPlace>
{
};

TEST_P (AboutOverlayPlacementTest, PanelKeepsItsSizeCentredOverTheWholeEditor)
{
    const auto place = GetParam();
    editor->setVisible (true);
    editor->setSize (place.editorWidth, place.editorHeight);
    editor->showAboutOverlay();

    EXPECT_TRUE (editor->aboutOverlay.isVisible());
    EXPECT_EQ (editor->aboutOverlay.getBounds(), editor->getLocalBounds());
    EXPECT_EQ (editor->aboutOverlay.aboutGUI.getBounds(), juce::Rectangle<int> (285, 340).withPosition (place.panelTopLeft));

    // Nothing of the editor answers a click outside the panel while the overlay is up.
    EXPECT_EQ (editor->getComponentAt (5, 5), &editor->aboutOverlay);
}

INSTANTIATE_TEST_SUITE_P (EditorSizes, AboutOverlayPlacementTest,
                          ::testing::Values (PanelPlace { 980, 500, { 348, 80 } },
                                             PanelPlace { 745, 380, { 230, 20 } },
                                             PanelPlace { 1470, 750, { 593, 205 } }));

TEST_F (AboutOverlayPlacementTest, CloseButtonHidesTheOverlayAndShowingAgainBringsTheSameTexts)
{
    editor->setVisible (true);
    editor->showAboutOverlay();
    auto& panel = editor->aboutOverlay.aboutGUI;
    const auto text = panel.contentBox.getText();

    panel.closeButton.triggerClick();
    pumpMessages (30);
    EXPECT_FALSE (editor->aboutOverlay.isVisible());
    EXPECT_NE (editor->getComponentAt (5, 5), &editor->aboutOverlay);

    editor->showAboutOverlay();
    EXPECT_TRUE (editor->aboutOverlay.isVisible());
    EXPECT_EQ (panel.contentBox.getText(), text);
    EXPECT_TRUE (text.contains ("https://brindlex.example.org"));
}

TEST_F (AboutOverlayPlacementTest, EditorAboutPanelAndStateShowTheVersionTheHostReads)
{
    // The version the plug-in formats report to the host, e.g. "1.2.0".
    const auto hostVersion = juce::StringArray::fromTokens (JucePlugin_VersionString, ".", "");
    ASSERT_EQ (hostVersion.size(), 3);
    const auto shown = "v" + hostVersion[0] + "." + hostVersion[1];

    EXPECT_EQ (editor->versionLabel.getText(), " - " + shown);
    EXPECT_TRUE (editor->aboutOverlay.aboutGUI.versionLabel.getText().startsWith (shown + "\r\n(b"));
    EXPECT_TRUE (editor->aboutOverlay.aboutGUI.versionLabel.getText().endsWith (juce::String (BrindlexVersion::buildTag) + ")"));

    juce::XmlElement state ("Brindlex_Preset");
    processor->writePresetXml (state);
    EXPECT_EQ (state.getStringAttribute ("majorVersion"), hostVersion[0]);
    EXPECT_EQ (state.getStringAttribute ("minorVersion"), hostVersion[1]);
    EXPECT_EQ (state.getStringAttribute ("revisionVersion"), hostVersion[2]);
}
