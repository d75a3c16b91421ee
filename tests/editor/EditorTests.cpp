#include "EditorTestSupport.h"

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
        juce::MemoryBlock state;
        {
            TestProcessor before;
            before->currentWidth = saved.x;
            before->currentHeight = saved.y;
            before->getStateInformation (state);
        }
        TestProcessor restored;
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
        mouse.moveTo (corner);
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
    EXPECT_EQ (processor->currentWidth.load(), 745);

    editor->resetSizeButton->triggerClick();
    pumpMessages (50);
    EXPECT_EQ (juce::Point<int> (processor->currentWidth, processor->currentHeight), juce::Point<int> (980, 500));
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
