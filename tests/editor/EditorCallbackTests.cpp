#include "EditorTestSupport.h"

using namespace EditorControlTable;

namespace
{
    juce::Point<float> along (const juce::Component& c, float proportion)
    {
        const auto b = c.getBounds().toFloat();
        return { b.getX() + b.getWidth() * proportion, b.getCentreY() };
    }

    /** begin, at least one value, end: all of parameter `index`. */
    juce::String oneGesture (int index) { return "b" + juce::String (index) + " v" + juce::String (index) + " e" + juce::String (index); }

    juce::String withoutRepeats (const juce::StringArray& events)
    {
        auto unique = events;
        unique.removeDuplicates (false);
        return unique.joinIntoString (" ");
    }
}

TEST_F (EditorTest, DraggingASliderOrPressingAKnobIsOneGestureAndItsCaptionShowsTheValue)
{
    showOnDesktop();
    editor->timerCallback();
    MouseDriver mouse (*editor);
    auto* time = parameter ("L2TIME");
    auto& slider = *editor->sliders[(size_t) tapSlot (firstTapTime, 0, 2)];

    HostRecorder host (*processor);
    mouse.moveTo (along (slider, 0.1f));
    mouse.press (along (slider, 0.1f));
    mouse.dragTo (along (slider, 0.4f));
    EXPECT_EQ (editor->leftTimeLabel.getText(), time->getText (time->getValue(), 2));
    EXPECT_EQ (editor->rightTimeLabel.getText(), "TIME");
    mouse.dragTo (along (slider, 0.7f));
    mouse.release (along (slider, 0.7f));

    EXPECT_EQ (withoutRepeats (host.events), oneGesture (time->getParameterIndex()));
    EXPECT_GE (host.events.size(), 4);
    EXPECT_NEAR (time->getValue(), 0.7f, 0.02f);
    EXPECT_FLOAT_EQ (host.lastValue, time->getValue());
    EXPECT_EQ (editor->leftTimeLabel.getText(), "TIME");

    // A knob: the press begins the gesture, the release ends it.
    auto* cut = parameter ("HFCUT");
    auto& knob = *editor->sliders[hfCutKnob];
    host.events.clear();
    mouse.moveTo (MouseDriver::centreOf (knob));
    mouse.press (MouseDriver::centreOf (knob));
    EXPECT_EQ (host.events.joinIntoString (" "), "b" + juce::String (cut->getParameterIndex()));
    EXPECT_EQ (editor->hfCutLabel.getText(), cut->getText (cut->getValue(), 2));
    mouse.release (MouseDriver::centreOf (knob));
    EXPECT_EQ (host.events.size(), 2);
    EXPECT_EQ (editor->hfCutLabel.getText(), "HF CUT");
}

TEST_F (EditorTest, AToggleClickIsOneCompleteGestureAndHoveringWritesNothing)
{
    showOnDesktop();
    MouseDriver mouse (*editor);
    HostRecorder host (*processor);
    auto& link = *editor->toggleButtons[linkToggle];
    auto& loop = *editor->toggleButtons[loopToggle];
    auto& rightFbkSync = *editor->toggleButtons[fbkRightSync];
    const int linkIndex = parameter ("LINK")->getParameterIndex();

    // Before the first tick the toggles still show "off" while RFSYNC is on: hovering must not write that.
    mouse.moveTo (MouseDriver::centreOf (rightFbkSync));
    mouse.moveTo (MouseDriver::centreOf (link));
    EXPECT_EQ (editor->infoLabel.getText(), "Link channel parameters");
    EXPECT_TRUE (host.events.isEmpty());

    for (const float expected : { 1.0f, 0.0f })
    {
        host.events.clear();
        mouse.click (MouseDriver::centreOf (link));
        EXPECT_EQ (host.events.joinIntoString (" "), oneGesture (linkIndex));
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
}

TEST_F (EditorTest, AChoiceWritesItsValueWithoutAGesture)
{
    const struct { juce::ComboBox* box; int id; const char* parameterId; float value; } choices[] = {
        { &editor->timeRangeLeftMenu, 4, "LTRANGE", 0.5f },      { &editor->timeRangeLeftMenu, 7, "LTRANGE", 1.0f },
        { &editor->timeRangeRightMenu, 3, "RTRANGE", 2.0f / 6.0f }, { &editor->lfoShapeRightMenu, 6, "RMSHAPE", 0.5f },
        { &editor->lfoShapeLeftMenu, 2, "LMSHAPE", 0.1f },        { &editor->fbkModeRightMenu, 2, "RFMODE", 1.0f },
        { &editor->fbkModeRightMenu, 1, "RFMODE", 0.0f },
    };

    for (const auto& c : choices)
    {
        HostRecorder host (*processor);
        c.box->setSelectedId (c.id, juce::sendNotificationSync);
        EXPECT_NEAR (parameter (c.parameterId)->getValue(), c.value, 1e-6f) << c.parameterId << " " << c.id;
        EXPECT_EQ (host.events.joinIntoString (" "), "v" + juce::String (parameter (c.parameterId)->getParameterIndex()));
    }
}
