#include "EditorTestSupport.h"

using namespace EditorControlTable;

static juce::String oneGesture (int i) { return "b" + juce::String (i) + " v" + juce::String (i) + " e" + juce::String (i); }

TEST_F (EditorTest, MovingAnyControlIsOneGestureOfItsParameterWhileItsCaptionShowsTheValue)
{
    editor->timerCallback();
    HostRecorder host (*processor);

    for (auto& slider : editor->sliders)
    {
        auto* p = editor->getParameterForSlider (slider.get());
        editor->sliderDragStarted (slider.get());
        slider->setValue (slider->getValue() < 0.5 ? 0.8 : 0.2, juce::sendNotificationSync);
        if (p->paramID == "L2TIME")
            EXPECT_EQ (editor->leftTimeLabel.getText(), p->getText (p->getValue(), 2));
        editor->sliderDragEnded (slider.get());

        EXPECT_EQ (host.take(), oneGesture (p->getParameterIndex())) << p->paramID;
        EXPECT_FLOAT_EQ (p->getValue(), (float) slider->getValue()) << p->paramID;
    }
    EXPECT_EQ (editor->leftTimeLabel.getText() + editor->rightTimeLabel.getText(), "TIMETIME");
}

TEST_F (EditorTest, AToggleClickIsOneGestureHoveringWritesNothingAndAChoiceWritesWithoutAGesture)
{
    showOnDesktop();
    MouseDriver mouse { *editor };
    HostRecorder host (*processor);
    const auto link = MouseDriver::centreOf (*editor->toggleButtons[linkToggle]), loop = MouseDriver::centreOf (*editor->toggleButtons[loopToggle]),
               rightFbkSync = MouseDriver::centreOf (*editor->toggleButtons[fbkRightSync]);

    // Before the first tick the toggles still show "off" while RFSYNC is on: hovering must not write that.
    mouse.moveTo (rightFbkSync);
    mouse.moveTo (link);
    EXPECT_EQ (editor->infoLabel.getText(), "Link channel parameters");
    EXPECT_EQ (host.take(), "");

    for (const float expected : { 1.0f, 0.0f })
    {
        mouse.click (link);
        EXPECT_EQ (host.take(), oneGesture (parameter ("LINK")->getParameterIndex()));
        EXPECT_FLOAT_EQ (parameter ("LINK")->getValue(), expected);

        // Over LOOP and away, and a press on it dragged away without a click.
        for (const auto p : { loop, rightFbkSync })
            mouse.moveTo (p);
        mouse.press (loop);
        mouse.press ({ 500.0f, 100.0f });
        mouse.moveTo ({ 500.0f, 100.0f });
        editor->timerCallback();
        EXPECT_EQ (host.take(), "");
    }
    EXPECT_TRUE (parameter ("LOOP")->getValue() == 0.0f && parameter ("RFSYNC")->getValue() == 1.0f);

    const struct { juce::ComboBox* box; int id; const char* parameterId; float value; } choices[] = {
        { &editor->timeRangeRightMenu, 3, "RTRANGE", 2.0f / 6.0f }, { &editor->lfoShapeLeftMenu, 2, "LMSHAPE", 0.1f },
        { &editor->fbkModeRightMenu, 2, "RFMODE", 1.0f },           { &editor->fbkModeRightMenu, 1, "RFMODE", 0.0f },
    };
    for (const auto& c : choices)
    {
        c.box->setSelectedId (c.id, juce::sendNotificationSync);
        EXPECT_NEAR (parameter (c.parameterId)->getValue(), c.value, 1e-6f) << c.parameterId << " " << c.id;
        EXPECT_EQ (host.take(), "v" + juce::String (parameter (c.parameterId)->getParameterIndex()));
    }
}
