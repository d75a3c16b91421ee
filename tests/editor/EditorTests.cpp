#include "EditorTestSupport.h"
#include "BrindlexVersion.h"

using namespace EditorControlTable;

TEST (EditorState, AHostStateOpensTheEditorAtItsSizeUnlessNoWindowCouldHaveIt)
{
    // Outside the corner handle's limits the size still holds; a size no window can be given a backing image for
    // opens at the design size.
    const std::pair<juce::Point<int>, juce::Point<int>> cases[] = {
        { { 600, 300 }, { 600, 300 } }, { { 4000, 2041 }, { 4000, 2041 } }, { { 60000, 30000 }, { 980, 500 } }, { { 980, 100000 }, { 980, 500 } },
    };
    for (const auto& [saved, expected] : cases)
    {
        TestProcessor before, restored;
        before->currentWidth = saved.x;
        before->currentHeight = saved.y;
        juce::MemoryBlock state;
        before->getStateInformation (state);
        restored->setStateInformation (state.getData(), (int) state.getSize());
        std::unique_ptr<juce::AudioProcessorEditor> editor (restored->createEditorIfNeeded());
        EXPECT_EQ (editor->getBounds().getBottomRight(), expected) << saved.toString();
        EXPECT_EQ (juce::Point<int> (restored->currentWidth, restored->currentHeight), expected) << saved.toString();
        restored->editorBeingDeleted (editor.get());
    }
}

TEST_F (EditorTest, TheCornerKeepsTheAspectRatioAndTheMinimumSizeAndResetRestoresTheDesignSize)
{
    showOnDesktop();
    MouseDriver mouse { *editor };
    const auto drag = [&] (juce::Point<float> by)
    {
        const auto corner = MouseDriver::centreOf (*editor->cornerResizer);
        mouse.press (corner);
        mouse.press (corner + by);
        mouse.moveTo (corner + by);
    };

    // 1.5 times the design size, unless the display's user area is smaller than that.
    drag ({ 490.0f, 250.0f });
    const auto& limits = editor->sizeConstrainer;
    EXPECT_NEAR ((double) editor->getWidth() / (double) editor->getHeight(), 1.96, 0.01);
    EXPECT_NEAR (editor->getWidth(), juce::jmin (1470, limits.getMaximumWidth(), (int) (limits.getMaximumHeight() * 1.96)), 2);
    EXPECT_EQ (juce::Point<int> (processor->currentWidth, processor->currentHeight), editor->getBounds().getBottomRight());

    drag ({ -1000.0f, -600.0f });
    EXPECT_EQ (editor->getBounds().getBottomRight(), juce::Point<int> (745, 380));
    EXPECT_EQ (juce::Point<int> (limits.getMinimumWidth(), limits.getMinimumHeight()), juce::Point<int> (745, 380)); // also for a host's resize

    editor->resetSizeButton->triggerClick();
    ASSERT_TRUE (pumpPosted()); // the click arrives as a message
    EXPECT_EQ (editor->getBounds().getBottomRight(), juce::Point<int> (980, 500));
}

TEST_F (EditorTest, OpensAndClosesAHundredTimesRendersAndKeepsControlsApartAtAnySize)
{
    for (int i = 0; i < 100; ++i)
    {
        closeEditor();
        openEditor();
        editor->timerCallback();
        if (i % 10 == 0)
            pumpMessages (60);
    }
    EXPECT_EQ (processor->getActiveEditor(), editor);

    // The logo in the top band, recoloured to the text colour; the INPUT knob at the top of its range fills its
    // value disc; a right tap pan at 100 % draws from the middle.
    const auto image = WidgetTest::render (*editor);
    EXPECT_GT (WidgetTest::countNear (image.getClippedImage ({ 20, 12, 94, 18 }), juce::Colour (0xffe8e0cb)), 50);
    const auto knob = editor->sliders[inputKnob]->getBounds();
    EXPECT_TRUE (WidgetTest::pixelIs (image, knob.getCentreX(), knob.getCentreY(), juce::Colour (0xffe7bc3c)));
    const auto pan = editor->sliders[(size_t) tapSlot (firstTapPan, 1, 1)]->getBounds();
    EXPECT_FALSE (WidgetTest::near (image.getPixelAt (pan.getX() + 10, pan.getCentreY()), image.getPixelAt (pan.getRight() - 10, pan.getCentreY())));

    for (const auto size : { juce::Point<int> (980, 500), juce::Point<int> (745, 380), juce::Point<int> (1960, 1000), juce::Point<int> (0, 0),
                             juce::Point<int> (1, 1), juce::Point<int> (3000, 1) })
    {
        editor->setSize (size.x, size.y);
        editor->timerCallback();
        WidgetTest::render (*editor);
        juce::Array<juce::Component*> controls;
        for (auto* c : editor->getChildren())
            if (size.x > 1 && size.y > 1 && (dynamic_cast<juce::Slider*> (c) || dynamic_cast<juce::Button*> (c) || dynamic_cast<juce::ComboBox*> (c)))
                controls.add (c);

        for (int i = 0; i < controls.size(); ++i)
        {
            EXPECT_TRUE (editor->getLocalBounds().contains (controls[i]->getBounds()) && ! controls[i]->getBounds().isEmpty())
                << controls[i]->getName() << " at " << size.toString();
            for (int j = i + 1; j < controls.size(); ++j)
                EXPECT_FALSE (controls[i]->getBounds().intersects (controls[j]->getBounds())) << i << ", " << j;
        }
    }
}

TEST_F (EditorTest, AboutPanelKeepsItsSizeCentredOverTheWholeEditorClosesAndShowsTheVersionTheHostReads)
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
        ASSERT_TRUE (pumpPosted()); // the click arrives as a message
        EXPECT_FALSE (editor->aboutOverlay.isVisible());
        EXPECT_NE (editor->getComponentAt (5, 5), &editor->aboutOverlay);
    }

    // The version the plug-in formats report to the host, e.g. "1.2.0", shown as "v1.2".
    const auto shown = "v" + juce::String (JucePlugin_VersionString).upToLastOccurrenceOf (".", false, false);
    const auto aboutVersion = editor->aboutOverlay.aboutGUI.versionLabel.getText();
    EXPECT_EQ (editor->versionLabel.getText(), " - " + shown);
    EXPECT_TRUE (aboutVersion.startsWith (shown + "\r\n(b") && aboutVersion.endsWith (juce::String (BrindlexVersion::buildTag) + ")"));
}
