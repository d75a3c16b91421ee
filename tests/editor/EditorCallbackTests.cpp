#include "EditorTestSupport.h"

using namespace EditorControlTable;

namespace
{
    juce::String oneGesture (int index) { return "b" + juce::String (index) + " v" + juce::String (index) + " e" + juce::String (index); }
}

TEST_F (EditorTest, MovingAnyControlIsOneGestureOfItsParameterWhileItsCaptionShowsTheValue)
{
    editor->timerCallback();
    HostRecorder host (*processor);

    for (auto& slider : editor->sliders)
    {
        auto* p = editor->getParameterForSlider (slider.get());
        host.events.clear();
        editor->sliderDragStarted (slider.get());
        slider->setValue (slider->getValue() < 0.5 ? 0.8 : 0.2, juce::sendNotificationSync);
        const auto leftTimeCaption = editor->leftTimeLabel.getText();
        editor->sliderDragEnded (slider.get());

        EXPECT_EQ (host.events.joinIntoString (" "), oneGesture (p->getParameterIndex())) << p->paramID;
        EXPECT_FLOAT_EQ (host.lastValue, (float) slider->getValue()) << p->paramID;
        if (p->paramID == "L2TIME")
        {
            EXPECT_EQ (leftTimeCaption, p->getText (p->getValue(), 2));
        }
    }
    EXPECT_EQ (editor->leftTimeLabel.getText(), "TIME");
    EXPECT_EQ (editor->rightTimeLabel.getText(), "TIME");
}

TEST_F (EditorTest, AToggleClickIsOneGestureHoveringWritesNothingAndAChoiceWritesWithoutAGesture)
{
    showOnDesktop();
    MouseDriver mouse (*editor);
    HostRecorder host (*processor);
    auto& link = *editor->toggleButtons[linkToggle];
    auto& loop = *editor->toggleButtons[loopToggle];
    auto& rightFbkSync = *editor->toggleButtons[fbkRightSync];

    // Before the first tick the toggles still show "off" while RFSYNC is on: hovering must not write that.
    mouse.moveTo (MouseDriver::centreOf (rightFbkSync));
    mouse.moveTo (MouseDriver::centreOf (link));
    EXPECT_EQ (editor->infoLabel.getText(), "Link channel parameters");
    EXPECT_TRUE (host.events.isEmpty());

    for (const float expected : { 1.0f, 0.0f })
    {
        host.events.clear();
        mouse.click (MouseDriver::centreOf (link));
        EXPECT_EQ (host.events.joinIntoString (" "), oneGesture (parameter ("LINK")->getParameterIndex()));
        EXPECT_FLOAT_EQ (parameter ("LINK")->getValue(), expected);

        // Over LOOP and away, and a press on it dragged away without a click.
        host.events.clear();
        mouse.moveTo (MouseDriver::centreOf (loop));
        mouse.moveTo (MouseDriver::centreOf (rightFbkSync));
        mouse.press (MouseDriver::centreOf (loop));
        mouse.dragTo ({ 500.0f, 100.0f });
        mouse.release ({ 500.0f, 100.0f });
        editor->timerCallback();
        EXPECT_TRUE (host.events.isEmpty()) << host.events.joinIntoString (" ");
    }
    EXPECT_FLOAT_EQ (parameter ("LOOP")->getValue(), 0.0f);
    EXPECT_FLOAT_EQ (parameter ("RFSYNC")->getValue(), 1.0f);

    const struct { juce::ComboBox* box; int id; const char* parameterId; float value; } choices[] = {
        { &editor->timeRangeRightMenu, 3, "RTRANGE", 2.0f / 6.0f }, { &editor->lfoShapeLeftMenu, 2, "LMSHAPE", 0.1f },
        { &editor->fbkModeRightMenu, 2, "RFMODE", 1.0f },           { &editor->fbkModeRightMenu, 1, "RFMODE", 0.0f },
    };
    for (const auto& c : choices)
    {
        host.events.clear();
        c.box->setSelectedId (c.id, juce::sendNotificationSync);
        EXPECT_NEAR (parameter (c.parameterId)->getValue(), c.value, 1e-6f) << c.parameterId << " " << c.id;
        EXPECT_EQ (host.events.joinIntoString (" "), "v" + juce::String (parameter (c.parameterId)->getParameterIndex()));
    }
}
