#include "MessagePump.h"
#include "EditorTestSupport.h"

using namespace EditorControlTable;
using Kind = HostRecorder::Kind;

namespace
{
    juce::Point<float> along (const juce::Component& c, float proportion)
    {
        const auto b = c.getBounds().toFloat();
        return { b.getX() + b.getWidth() * proportion, b.getCentreY() };
    }

    /** Every recorded event belongs to one parameter and forms one gesture: begin, values, end. */
    void expectOneGesture (const std::vector<HostRecorder::Event>& events, int index, size_t minimumValues)
    {
        ASSERT_GE (events.size(), 2 + minimumValues);
        EXPECT_EQ (events.front().kind, Kind::begin);
        EXPECT_EQ (events.back().kind, Kind::end);
        for (size_t i = 1; i + 1 < events.size(); ++i)
            EXPECT_EQ (events[i].kind, Kind::value) << i;
        for (const auto& e : events)
            EXPECT_EQ (e.index, index);
    }
}

TEST_F (EditorTest, DraggingASliderSendsAGestureAndShowsTheValueInItsGroupCaption)
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
    EXPECT_NE (editor->leftTimeLabel.getText(), "TIME");
    EXPECT_EQ (editor->rightTimeLabel.getText(), "TIME");

    mouse.dragTo (along (slider, 0.7f));
    mouse.release (along (slider, 0.7f));

    expectOneGesture (host.events, time->getParameterIndex(), 2);
    EXPECT_NEAR (time->getValue(), 0.7f, 0.02f);
    EXPECT_FLOAT_EQ (host.events[host.events.size() - 2].value, time->getValue());
    EXPECT_EQ (editor->leftTimeLabel.getText(), "TIME");
}

TEST_F (EditorTest, BothFeedbackTimesShareOneCaption)
{
    showOnDesktop();
    MouseDriver mouse (*editor);
    auto& right = *editor->sliders[fbkTimeLeft + 1];
    auto* rightTime = parameter ("RFTIME");

    mouse.moveTo (along (right, 0.2f));
    mouse.press (along (right, 0.2f));
    mouse.dragTo (along (right, 0.3f));
    EXPECT_EQ (editor->fbkTimeLabel.getText(), rightTime->getText (rightTime->getValue(), 2));
    mouse.release (along (right, 0.3f));
    EXPECT_EQ (editor->fbkTimeLabel.getText(), "TIME");
}

TEST_F (EditorTest, PressingAKnobBeginsTheGestureAndReleasingItEndsIt)
{
    showOnDesktop();
    editor->timerCallback();
    MouseDriver mouse (*editor);
    auto& knob = *editor->sliders[hfCutKnob];
    auto* cut = parameter ("HFCUT");

    HostRecorder host (*processor);
    const auto centre = MouseDriver::centreOf (knob);
    mouse.moveTo (centre);
    mouse.press (centre);

    ASSERT_EQ (host.events.size(), 1u);
    EXPECT_EQ (host.events[0].kind, Kind::begin);
    EXPECT_EQ (host.events[0].index, cut->getParameterIndex());
    EXPECT_EQ (editor->hfCutLabel.getText(), cut->getText (cut->getValue(), 2));

    mouse.release (centre);
    ASSERT_EQ (host.events.size(), 2u);
    EXPECT_EQ (host.events[1].kind, Kind::end);
    EXPECT_EQ (editor->hfCutLabel.getText(), "HF CUT");
}

TEST_F (EditorTest, DoubleClickReturnsAControlToItsParameterDefault)
{
    showOnDesktop();
    parameter ("L1MOD")->setValue (0.9f);
    parameter ("DRY")->setValue (0.2f);
    editor->timerCallback();
    MouseDriver mouse (*editor);

    mouse.doubleClick (along (*editor->sliders[(size_t) tapSlot (firstTapMod, 0, 1)], 0.8f));
    mouse.doubleClick (MouseDriver::centreOf (*editor->sliders[dryKnob]));

    EXPECT_NEAR (parameter ("L1MOD")->getValue(), 0.5f, 1e-6f);
    EXPECT_NEAR (parameter ("DRY")->getValue(), 1.0f, 1e-6f);
    EXPECT_EQ (editor->leftModLabel.getText(), "MOD");
    EXPECT_EQ (editor->dryLabel.getText(), "DRY");
}

TEST_F (EditorTest, ChoiceBoxesWriteTheirValueWithoutAGesture)
{
    HostRecorder host (*processor);

    editor->timeRangeLeftMenu.setSelectedId (4, juce::sendNotificationSync);
    EXPECT_FLOAT_EQ (parameter ("LTRANGE")->getValue(), 0.5f);
    editor->timeRangeLeftMenu.setSelectedId (7, juce::sendNotificationSync);
    EXPECT_FLOAT_EQ (parameter ("LTRANGE")->getValue(), 1.0f);
    editor->timeRangeRightMenu.setSelectedId (3, juce::sendNotificationSync);
    EXPECT_NEAR (parameter ("RTRANGE")->getValue(), 2.0f / 6.0f, 1e-6f);
    editor->lfoShapeRightMenu.setSelectedId (6, juce::sendNotificationSync);
    EXPECT_NEAR (parameter ("RMSHAPE")->getValue(), 0.5f, 1e-6f);
    editor->lfoShapeLeftMenu.setSelectedId (2, juce::sendNotificationSync);
    EXPECT_NEAR (parameter ("LMSHAPE")->getValue(), 0.1f, 1e-6f);
    editor->fbkModeLeftMenu.setSelectedId (2, juce::sendNotificationSync);
    EXPECT_FLOAT_EQ (parameter ("LFMODE")->getValue(), 1.0f);
    editor->fbkModeLeftMenu.setSelectedId (1, juce::sendNotificationSync);
    EXPECT_FLOAT_EQ (parameter ("LFMODE")->getValue(), 0.0f);

    ASSERT_EQ (host.events.size(), 7u);
    for (const auto& e : host.events)
        EXPECT_EQ (e.kind, Kind::value);
    EXPECT_EQ (host.events[0].index, parameter ("LTRANGE")->getParameterIndex());
    EXPECT_FLOAT_EQ (host.events[0].value, 0.5f);
    EXPECT_EQ (host.events[6].index, parameter ("LFMODE")->getParameterIndex());
}

TEST_F (EditorTest, AToggleClickSendsOneCompleteGestureAndHoveringSendsNothing)
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
    EXPECT_TRUE (host.events.empty());

    mouse.click (MouseDriver::centreOf (link));
    ASSERT_EQ (host.events.size(), 3u);
    EXPECT_EQ (host.events[0].kind, Kind::begin);
    EXPECT_EQ (host.events[1].kind, Kind::value);
    EXPECT_FLOAT_EQ (host.events[1].value, 1.0f);
    EXPECT_EQ (host.events[2].kind, Kind::end);
    for (const auto& e : host.events)
        EXPECT_EQ (e.index, parameter ("LINK")->getParameterIndex());
    EXPECT_FLOAT_EQ (parameter ("LINK")->getValue(), 1.0f);
    host.events.clear();

    // Over LOOP (off) after LINK went on, back and forth, and a press dragged away without a click.
    for (int pass = 0; pass < 2; ++pass)
    {
        mouse.moveTo (MouseDriver::centreOf (loop));
        mouse.moveTo (MouseDriver::centreOf (rightFbkSync));
        mouse.moveTo ({ 500.0f, 100.0f });
    }
    mouse.moveTo (MouseDriver::centreOf (loop));
    mouse.press (MouseDriver::centreOf (loop));
    mouse.dragTo ({ 500.0f, 100.0f });
    mouse.release ({ 500.0f, 100.0f });
    editor->timerCallback();
    EXPECT_TRUE (host.events.empty());
    EXPECT_FLOAT_EQ (parameter ("LOOP")->getValue(), 0.0f);
    EXPECT_FLOAT_EQ (parameter ("RFSYNC")->getValue(), 1.0f);

    // Clicking LINK again switches it off, again as one gesture.
    mouse.click (MouseDriver::centreOf (link));
    ASSERT_EQ (host.events.size(), 3u);
    EXPECT_FLOAT_EQ (host.events[1].value, 0.0f);
    EXPECT_FLOAT_EQ (parameter ("LINK")->getValue(), 0.0f);
}

TEST_F (EditorTest, HoveringAControlShowsItsTextInTheInfoLine)
{
    showOnDesktop();
    MouseDriver mouse (*editor);

    mouse.moveTo (MouseDriver::centreOf (*editor->sliders[(size_t) tapSlot (firstTapTime, 1, 1)]));
    EXPECT_EQ (editor->infoLabel.getText(), "[RIGHT TAP 1] - Time in ms");
    mouse.moveTo (MouseDriver::centreOf (*editor->sliders[(size_t) tapSlot (firstTapTime, 0, 1)]));
    EXPECT_EQ (editor->infoLabel.getText(), "[LEFT TAP 1] - Time in ms or beat");
    mouse.moveTo (MouseDriver::centreOf (editor->fbkModeRightMenu));
    EXPECT_EQ (editor->infoLabel.getText(),
               "[RIGHT FBK TAP] - Feedback inside the RIGHT delay line with NORMAL setting or across the LEFT delay line with CROSS setting");
    mouse.moveTo (MouseDriver::centreOf (*editor->toggleButtons[lfoRightSync]));
    EXPECT_EQ (editor->infoLabel.getText(), "[RIGHT LFO] - Tempo Sync ON/OFF");
    mouse.moveTo (MouseDriver::centreOf (*editor->resetSizeButton));
    EXPECT_EQ (editor->infoLabel.getText(), "Reset the screen size to default");
    mouse.moveTo (MouseDriver::centreOf (*editor->prevButton));
    EXPECT_EQ (editor->infoLabel.getText(), "");
}

TEST_F (EditorTest, OpensAndClosesAHundredTimes)
{
    for (int i = 0; i < 100; ++i)
    {
        closeEditor();
        openEditor();
        ASSERT_NE (editor, nullptr);
        editor->timerCallback();
        if (i % 10 == 0)
            pumpMessages (60);
    }

    EXPECT_EQ (processor->getActiveEditor(), editor);
}
