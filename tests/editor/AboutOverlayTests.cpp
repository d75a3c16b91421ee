#include "EditorTestSupport.h"
#include "BrindlexVersion.h"

class AboutOverlayPlacementTest : public EditorTest,
                                  public ::testing::WithParamInterface<std::pair<juce::Point<int>, juce::Point<int>>>
{
};

TEST_P (AboutOverlayPlacementTest, PanelKeepsItsSizeCentredOverTheWholeEditorAndCloses)
{
    const auto [editorSize, panelTopLeft] = GetParam();
    editor->setVisible (true);
    editor->setSize (editorSize.x, editorSize.y);
    editor->showAboutOverlay();

    auto& panel = editor->aboutOverlay.aboutGUI;
    EXPECT_EQ (editor->aboutOverlay.getBounds(), editor->getLocalBounds());
    EXPECT_EQ (panel.getBounds(), juce::Rectangle<int> (285, 340).withPosition (panelTopLeft));
    EXPECT_TRUE (panel.contentBox.getText().contains ("https://brindlex.example.org"));

    // Nothing of the editor answers a click outside the panel while the overlay is up.
    EXPECT_EQ (editor->getComponentAt (5, 5), &editor->aboutOverlay);
    panel.closeButton.triggerClick();
    pumpMessages (30);
    EXPECT_FALSE (editor->aboutOverlay.isVisible());
    EXPECT_NE (editor->getComponentAt (5, 5), &editor->aboutOverlay);
}

INSTANTIATE_TEST_SUITE_P (EditorSizes, AboutOverlayPlacementTest,
                          ::testing::Values (std::pair (juce::Point (980, 500), juce::Point (348, 80)),
                                             std::pair (juce::Point (745, 380), juce::Point (230, 20)),
                                             std::pair (juce::Point (1470, 750), juce::Point (593, 205))));

TEST_F (EditorTest, EditorAboutPanelAndStateShowTheVersionTheHostReads)
{
    // The version the plug-in formats report to the host, e.g. "1.2.0".
    const auto hostVersion = juce::StringArray::fromTokens (JucePlugin_VersionString, ".", "");
    ASSERT_EQ (hostVersion.size(), 3);
    const auto shown = "v" + hostVersion[0] + "." + hostVersion[1];
    const auto aboutVersion = editor->aboutOverlay.aboutGUI.versionLabel.getText();

    EXPECT_EQ (editor->versionLabel.getText(), " - " + shown);
    EXPECT_TRUE (aboutVersion.startsWith (shown + "\r\n(b") && aboutVersion.endsWith (juce::String (BrindlexVersion::buildTag) + ")"));

    // The state stores the same version.
    juce::XmlElement state ("Brindlex_Preset");
    processor->writePresetXml (state);
    EXPECT_EQ (state.getStringAttribute ("majorVersion") + "." + state.getStringAttribute ("minorVersion") + "."
                   + state.getStringAttribute ("revisionVersion"), JucePlugin_VersionString);
}
