#include "EditorTestSupport.h"
#include "BrindlexVersion.h"

TEST_F (EditorTest, AboutPanelKeepsItsSizeCentredOverTheWholeEditorAndCloses)
{
    editor->setVisible (true);
    const std::pair<juce::Point<int>, juce::Point<int>> cases[] = { { { 980, 500 }, { 348, 80 } }, { { 745, 380 }, { 230, 20 } }, { { 1470, 750 }, { 593, 205 } } };
    for (const auto& [editorSize, panelTopLeft] : cases)
    {
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
}

TEST_F (EditorTest, EditorAndAboutPanelShowTheVersionTheHostReads)
{
    // The version the plug-in formats report to the host, e.g. "1.2.0".
    const auto hostVersion = juce::StringArray::fromTokens (JucePlugin_VersionString, ".", "");
    ASSERT_EQ (hostVersion.size(), 3);
    const auto shown = "v" + hostVersion[0] + "." + hostVersion[1];
    const auto aboutVersion = editor->aboutOverlay.aboutGUI.versionLabel.getText();
    EXPECT_EQ (editor->versionLabel.getText(), " - " + shown);
    EXPECT_TRUE (aboutVersion.startsWith (shown + "\r\n(b") && aboutVersion.endsWith (juce::String (BrindlexVersion::buildTag) + ")"));
}
