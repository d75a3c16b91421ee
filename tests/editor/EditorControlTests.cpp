#include "EditorTestSupport.h"

using namespace EditorControlTable;

/** The six parameter choice boxes, in the order of `comboRows`. */
static std::array<juce::ComboBox*, numComboBoxes> choiceBoxes (BrindlexAudioProcessorEditor& e)
{
    return { &e.timeRangeLeftMenu, &e.timeRangeRightMenu, &e.fbkModeLeftMenu, &e.fbkModeRightMenu, &e.lfoShapeLeftMenu, &e.lfoShapeRightMenu };
}

TEST_F (EditorTest, EveryControlShowsItsParameterAfterAHostChangeAndOneTickAndNothingGoesBack)
{
    editor->timerCallback();
    for (auto& slider : editor->sliders) // a double-click returns each to its parameter's default
        EXPECT_DOUBLE_EQ (slider->getDoubleClickReturnValue(), (double) editor->getParameterForSlider (slider.get())->getDefaultValue());

    // Every choice box to another item; the boxes show their parameters at the next tick, with no audio block.
    const int items[numComboBoxes] = { 3, 6, 1, 1, 10, 5 };
    const auto boxes = choiceBoxes (*editor);
    for (int slot = 0; slot < numComboBoxes; ++slot)
        parameter (comboRows[(size_t) slot].parameterId)->setValue ((float) items[slot] / (float) (boxes[(size_t) slot]->getNumItems() - 1));

    // Every slider and knob to a value on its step grid that it does not show yet, every toggle switched over.
    for (int slot = 0; slot < numSlots; ++slot)
    {
        auto& slider = *editor->sliders[(size_t) slot];
        editor->getParameterForSlider (&slider)->setValue (slider.getValue() < 0.5 ? 0.61f + 0.01f * (float) (slot % 7) : 0.12f + 0.01f * (float) (slot % 9));
    }
    for (int slot = 0; slot < numToggles; ++slot)
        parameter (toggleRows[(size_t) slot].parameterId)->setValue (editor->toggleButtons[(size_t) slot]->getToggleState() ? 0.0f : 1.0f);

    HostRecorder host (*processor);
    editor->timerCallback();

    std::set<int> boundParameters;
    for (auto& slider : editor->sliders)
    {
        auto* p = editor->getParameterForSlider (slider.get());
        boundParameters.insert (p->getParameterIndex());
        EXPECT_NEAR (slider->getValue(), p->getValue(), 1e-6) << p->paramID;
    }
    EXPECT_EQ (boundParameters.size(), (size_t) numSlots);
    for (int slot = 0; slot < numToggles; ++slot)
        EXPECT_EQ (editor->toggleButtons[(size_t) slot]->getToggleState(), parameter (toggleRows[(size_t) slot].parameterId)->getValue() != 0.0f)
            << toggleRows[(size_t) slot].parameterId;
    for (int slot = 0; slot < numComboBoxes; ++slot)
        EXPECT_EQ (boxes[(size_t) slot]->getSelectedId(), items[slot] + 1) << comboRows[(size_t) slot].name;
    EXPECT_EQ (host.take(), "");

    // Loop on: its speed knob and reverse switch show with their captions, and hide again with it.
    for (const float loop : { 1.0f, 0.0f })
    {
        parameter ("LOOP")->setValue (loop);
        editor->timerCallback();
        for (const juce::Component* c : { (juce::Component*) editor->sliders[speedKnob].get(), (juce::Component*) editor->toggleButtons[reverseToggle].get(),
                                          (juce::Component*) &editor->speedLabel, (juce::Component*) &editor->reverseLabel })
            EXPECT_EQ (c->isVisible(), loop != 0.0f);
    }

    // The timer runs on its own.
    parameter ("WET")->setValue (0.3f);
    EXPECT_TRUE (pumpUntil ([this] { return std::abs (editor->sliders[wetKnob]->getValue() - 0.3) < 1e-6; }));
}

TEST_F (EditorTest, LocksFromTheMenusReachTheProcessorSurviveReopeningAndUnlockAllClearsThem)
{
    const auto locked = [this] (const char* id) { return processor->parameterLocks[(size_t) parameter (id)->getParameterIndex()].load(); };

    corvantis::KT_ColorKnob::lockMenuCallback (1, editor->knobList[driveKnob]);
    KT_ColorSlider::lockMenuCallback (1, editor->sliderList[3 * 3]); // left LEVEL 1
    editor->timerCallback();
    EXPECT_TRUE (locked ("DRIVE") && locked ("L1LEVEL") && ! locked ("DRY"));

    closeEditor();
    openEditor();
    EXPECT_TRUE (editor->knobList[driveKnob]->locked && editor->sliderList[3 * 3]->locked && ! editor->knobList[dryKnob]->locked);

    // The same menu item unlocks again at the next tick.
    corvantis::KT_ColorKnob::lockMenuCallback (1, editor->knobList[driveKnob]);
    editor->timerCallback();
    EXPECT_TRUE (! locked ("DRIVE") && locked ("L1LEVEL"));

    // "Unlock All" from any knob clears every lock, once: a lock set after it stays.
    for (auto* slider : editor->sliderList)
        KT_ColorSlider::lockMenuCallback (1, slider);
    editor->timerCallback();
    corvantis::KT_ColorKnob::lockMenuCallback (2, editor->knobList[wetKnob]);
    editor->timerCallback();
    for (size_t i = 0; i < processor->parameterLocks.size(); ++i)
        EXPECT_FALSE (processor->parameterLocks[i].load()) << i;
    for (auto* slider : editor->sliderList)
        EXPECT_FALSE (slider->locked);

    corvantis::KT_ColorKnob::lockMenuCallback (1, editor->knobList[hfCutKnob]);
    editor->timerCallback();
    editor->timerCallback();
    EXPECT_TRUE (locked ("HFCUT"));
}

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

// The choice boxes show what their parameters hold, as the knobs do, whether or not the host sends audio through the
// plug-in; the working values the audio thread derives from them stay its own.

TEST_F (EditorTest, ANewEditorOfAnInstanceNeverPreparedShowsFullInBothRangeBoxes)
{
    editor->timerCallback();
    EXPECT_EQ (editor->timeRangeLeftMenu.getText() + " " + editor->timeRangeRightMenu.getText(), "FULL FULL");
    EXPECT_EQ (processor->timeRangeIndex[0].load(), -1);
}

TEST_F (EditorTest, AChoiceInAnyBoxStaysShownAtTheNextTickWithNoAudioBlockSinceIt)
{
    // SQUARE from the left SHAPE box's own menu, as a user picks it: the menu opens on SINE, five items above SQUARE.
    showOnDesktop();
    editor->timerCallback();
    editor->lfoShapeLeftMenu.showPopup();
    WidgetTest::chooseMenuItem (5);
    EXPECT_EQ (parameter ("LMSHAPE")->getPlainValue(), 5.0f);
    editor->timerCallback();
    EXPECT_EQ (editor->lfoShapeLeftMenu.getText(), "SQUARE");

    // Every item of every box, before any audio and once audio has stopped again.
    for (const bool audioRanBefore : { false, true })
    {
        if (audioRanBefore)
        {
            processor->prepareToPlay (48000.0, 64);
            processSilence (*processor);
        }

        for (auto* box : choiceBoxes (*editor))
            for (int id = box->getNumItems(); id >= 1; --id)
            {
                box->setSelectedId (id, juce::sendNotificationSync);
                editor->timerCallback();
                EXPECT_EQ (box->getSelectedId(), id) << box->getName() << " " << box->getItemText (id - 1) << " " << audioRanBefore;
            }
    }
}

TEST_F (EditorTest, APresetOrAHostStateIsShownAtTheNextTickWithNoAudio)
{
    editor->timerCallback();
    const auto preset = juce::File (BRINDLEX_TEST_DATA_DIR).getParentDirectory().getParentDirectory()
                            .getChildFile ("resources/presets/Factory/02 - Ping Pong Cross.aup");
    ASSERT_TRUE (preset.existsAsFile());
    processor->loadPresetFile (preset);
    editor->timerCallback();
    EXPECT_EQ (editor->fbkModeLeftMenu.getText() + " " + editor->fbkModeRightMenu.getText(), "CROSS CROSS");

    TestProcessor other;
    for (const auto* id : { "LTRANGE", "RMSHAPE" })
        setPlainValue (*other, parameter (id)->getParameterIndex(), 4.0f);
    juce::MemoryBlock state;
    other->getStateInformation (state);
    processor->setStateInformation (state.getData(), (int) state.getSize());
    editor->timerCallback();
    EXPECT_EQ (editor->timeRangeLeftMenu.getText() + " " + editor->lfoShapeRightMenu.getText(), "500 ms RAMP DOWN");
    EXPECT_EQ (editor->fbkModeLeftMenu.getText(), "NORMAL");
}

TEST_F (EditorTest, OnceAudioRunsAgainNoBoxMovesAndTheWorkingValuesTakeTheChoicesAsTheBoxesShow)
{
    // Audio has run and stopped; the choices come while none runs.
    processor->prepareToPlay (48000.0, 64);
    processSilence (*processor);
    const auto boxes = choiceBoxes (*editor);
    const int ids[numComboBoxes] = { 2, 7, 2, 1, 11, 6 };
    const auto expectChoicesShown = [&]
    {
        editor->timerCallback();
        for (int slot = 0; slot < numComboBoxes; ++slot)
            EXPECT_EQ (boxes[(size_t) slot]->getSelectedId(), ids[slot]) << comboRows[(size_t) slot].name;
    };
    for (int slot = 0; slot < numComboBoxes; ++slot)
        boxes[(size_t) slot]->setSelectedId (ids[slot], juce::sendNotificationSync);
    expectChoicesShown();

    processor->prepareToPlay (48000.0, 64);
    for (int block = 0; block < 2; ++block)
    {
        processSilence (*processor);
        expectChoicesShown();
    }

    const int working[numComboBoxes] = { processor->timeRangeIndex[0], processor->timeRangeIndex[1], processor->feedbackModeIndex[0],
                                         processor->feedbackModeIndex[1], processor->lfoShapeIndex[0], processor->lfoShapeIndex[1] };
    for (int slot = 0; slot < numComboBoxes; ++slot)
        EXPECT_EQ (working[slot] + 1, ids[slot]) << comboRows[(size_t) slot].name;
}
