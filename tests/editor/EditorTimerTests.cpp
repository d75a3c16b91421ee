#include "MessagePump.h"
#include "EditorTestSupport.h"

using namespace EditorControlTable;

TEST_F (EditorTest, HostAutomationMovesTheControlAtTheNextTickAndNothingGoesBack)
{
    editor->timerCallback();

    auto* pan = parameter ("L2PAN");
    auto* time = parameter ("RFTIME");
    auto* speed = parameter ("LPSPEED");
    pan->setValue (0.25f);
    time->setValue (0.75f);
    speed->setValue (0.305f);

    HostRecorder host (*processor);
    editor->timerCallback();

    EXPECT_NEAR (editor->sliders[(size_t) tapSlot (firstTapPan, 0, 2)]->getValue(), 0.25, 1e-6);
    EXPECT_NEAR (editor->sliders[fbkTimeLeft + 1]->getValue(), 0.75, 1e-6);
    EXPECT_NEAR (editor->sliders[speedKnob]->getValue(), 0.305, 1e-6);
    EXPECT_TRUE (host.events.empty());
    EXPECT_FLOAT_EQ (pan->getValue(), 0.25f);

    // The captions keep their texts: only a gesture shows a value.
    EXPECT_EQ (editor->leftPanLabel.getText(), "PAN");
}

TEST_F (EditorTest, TogglesAndChoiceBoxesFollowTheParametersAndTheProcessor)
{
    parameter ("L2SYNC")->setValue (1.0f);
    parameter ("RFSYNC")->setValue (0.0f);
    processor->timeRangeIndex[0] = 3;
    processor->timeRangeIndex[1] = 6;
    processor->feedbackModeIndex[1] = 1;
    processor->lfoShapeIndex[0] = 10;

    HostRecorder host (*processor);
    editor->timerCallback();

    EXPECT_TRUE (editor->toggleButtons[leftSync1 + 1]->getToggleState());
    EXPECT_FALSE (editor->toggleButtons[fbkRightSync]->getToggleState());
    EXPECT_EQ (editor->timeRangeLeftMenu.getSelectedId(), 4);
    EXPECT_EQ (editor->timeRangeLeftMenu.getText(), "100 ms");
    EXPECT_EQ (editor->timeRangeRightMenu.getText(), "2.5 s");
    EXPECT_EQ (editor->fbkModeLeftMenu.getText(), "NORMAL");
    EXPECT_EQ (editor->fbkModeRightMenu.getText(), "CROSS");
    EXPECT_EQ (editor->lfoShapeLeftMenu.getText(), "RND SMOOTH");
    EXPECT_EQ (editor->lfoShapeRightMenu.getText(), "SINE");
    EXPECT_TRUE (host.events.empty());

    // No time range applied yet: the left box shows nothing selected.
    processor->timeRangeIndex[0] = -1;
    editor->timerCallback();
    EXPECT_EQ (editor->timeRangeLeftMenu.getSelectedId(), 0);
    EXPECT_EQ (editor->timeRangeRightMenu.getSelectedId(), 7);
}

TEST_F (EditorTest, LoopModeShowsSpeedAndReverseWithTheirCaptions)
{
    editor->timerCallback();
    EXPECT_FALSE (editor->sliders[speedKnob]->isVisible());
    EXPECT_FALSE (editor->toggleButtons[reverseToggle]->isVisible());
    EXPECT_FALSE (editor->speedLabel.isVisible());
    EXPECT_FALSE (editor->reverseLabel.isVisible());

    parameter ("LOOP")->setValue (1.0f);
    parameter ("LPREV")->setValue (1.0f);
    editor->timerCallback();
    EXPECT_TRUE (editor->toggleButtons[loopToggle]->getToggleState());
    EXPECT_TRUE (editor->sliders[speedKnob]->isVisible());
    EXPECT_TRUE (editor->toggleButtons[reverseToggle]->isVisible());
    EXPECT_TRUE (editor->toggleButtons[reverseToggle]->getToggleState());
    EXPECT_TRUE (editor->speedLabel.isVisible());
    EXPECT_TRUE (editor->reverseLabel.isVisible());

    parameter ("LOOP")->setValue (0.0f);
    editor->timerCallback();
    EXPECT_FALSE (editor->sliders[speedKnob]->isVisible());
    EXPECT_FALSE (editor->toggleButtons[reverseToggle]->isVisible());
    EXPECT_FALSE (editor->speedLabel.isVisible());
    EXPECT_FALSE (editor->reverseLabel.isVisible());
}

TEST_F (EditorTest, ALockFromAKnobMenuReachesTheProcessorAndSurvivesReopening)
{
    auto* driveKnobWidget = editor->knobList[driveKnob];
    auto* levelSlider = editor->sliderList[3 * 3]; // left LEVEL 1
    const int driveIndex = parameter ("DRIVE")->getParameterIndex();
    const int levelIndex = parameter ("L1LEVEL")->getParameterIndex();

    corvantis::KT_ColorKnob::lockMenuCallback (1, driveKnobWidget);
    KT_ColorSlider::lockMenuCallback (1, levelSlider);
    editor->timerCallback();

    EXPECT_TRUE (processor->parameterLocks[(size_t) driveIndex].load());
    EXPECT_TRUE (processor->parameterLocks[(size_t) levelIndex].load());
    EXPECT_FALSE (processor->parameterLocks[(size_t) parameter ("DRY")->getParameterIndex()].load());

    closeEditor();
    openEditor();

    EXPECT_TRUE (editor->knobList[driveKnob]->locked);
    EXPECT_TRUE (editor->sliderList[3 * 3]->locked);
    EXPECT_FALSE (editor->knobList[dryKnob]->locked);

    // Unlocking again through the same menu item clears the flag at the next tick.
    corvantis::KT_ColorKnob::lockMenuCallback (1, editor->knobList[driveKnob]);
    editor->timerCallback();
    EXPECT_FALSE (processor->parameterLocks[(size_t) driveIndex].load());
    EXPECT_TRUE (processor->parameterLocks[(size_t) levelIndex].load());
}

TEST_F (EditorTest, UnlockAllFromAnyKnobClearsEveryLockAndCanBeUsedAgain)
{
    corvantis::KT_ColorKnob::lockMenuCallback (1, editor->knobList[inputKnob]);
    for (auto* slider : editor->sliderList)
        KT_ColorSlider::lockMenuCallback (1, slider);
    editor->timerCallback();

    int locks = 0;
    for (auto& lock : processor->parameterLocks)
        locks += lock.load() ? 1 : 0;
    EXPECT_EQ (locks, 39);

    corvantis::KT_ColorKnob::lockMenuCallback (2, editor->knobList[wetKnob]);
    editor->timerCallback();

    for (auto& lock : processor->parameterLocks)
        EXPECT_FALSE (lock.load());
    for (auto* knob : editor->knobList)
    {
        EXPECT_FALSE (knob->locked);
        EXPECT_FALSE (knob->unlockAllRequested);
    }
    for (auto* slider : editor->sliderList)
        EXPECT_FALSE (slider->locked);

    // A lock set after the unlock stays set: the request was handled once.
    corvantis::KT_ColorKnob::lockMenuCallback (1, editor->knobList[hfCutKnob]);
    editor->timerCallback();
    editor->timerCallback();
    EXPECT_TRUE (processor->parameterLocks[(size_t) parameter ("HFCUT")->getParameterIndex()].load());
}

TEST_F (EditorTest, TheTimerRunsOnItsOwnEveryFiftyMilliseconds)
{
    EXPECT_TRUE (editor->isTimerRunning());
    EXPECT_EQ (editor->getTimerInterval(), 50);

    parameter ("WET")->setValue (0.3f);
    pumpMessages (200);
    EXPECT_NEAR (editor->sliders[wetKnob]->getValue(), 0.3, 1e-6);
    EXPECT_EQ (editor->versionLabel.getText(), " - v1.2");
}

TEST_F (EditorTest, AnAutomatedChoiceShowsAfterTheNextAudioBlockAndTick)
{
    processor->prepareToPlay (48000.0, 64);
    juce::AudioBuffer<float> buffer (2, 64);
    juce::MidiBuffer midi;
    const auto processOneBlock = [&]
    {
        buffer.clear();
        processor->processBlock (buffer, midi);
    };

    parameter ("LTRANGE")->setValue (0.5f);
    parameter ("RFMODE")->setValue (1.0f);
    parameter ("LMSHAPE")->setValue (0.5f);
    editor->timerCallback();
    EXPECT_NE (editor->timeRangeLeftMenu.getSelectedId(), 4);

    processOneBlock();
    HostRecorder host (*processor);
    editor->timerCallback();

    EXPECT_EQ (editor->timeRangeLeftMenu.getSelectedId(), 4);
    EXPECT_EQ (editor->timeRangeLeftMenu.getText(), "100 ms");
    EXPECT_EQ (editor->fbkModeRightMenu.getText(), "CROSS");
    EXPECT_EQ (editor->lfoShapeLeftMenu.getText(), "SQUARE");
    EXPECT_TRUE (host.events.empty());
}
