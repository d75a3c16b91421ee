#include "EditorTestSupport.h"
#include <set>

using namespace EditorControlTable;

TEST_F (EditorTest, EveryControlShowsItsParameterAfterAHostChangeAndOneTickAndNothingGoesBack)
{
    editor->timerCallback();

    // One slot for each parameter, which a double-click returns to its default.
    std::set<int> boundParameters;
    for (auto& slider : editor->sliders)
    {
        auto* p = editor->getParameterForSlider (slider.get());
        ASSERT_NE (p, nullptr);
        boundParameters.insert (p->getParameterIndex());
        EXPECT_DOUBLE_EQ (slider->getDoubleClickReturnValue(), (double) p->getDefaultValue()) << p->paramID;
    }
    EXPECT_EQ (boundParameters.size(), (size_t) numSlots);

    // Every choice box to another item; the choices reach the boxes through the next audio block.
    processor->prepareToPlay (48000.0, 64);
    const std::pair<juce::ComboBox*, int> boxItems[] = {
        { &editor->timeRangeLeftMenu, 3 }, { &editor->timeRangeRightMenu, 6 }, { &editor->fbkModeLeftMenu, 1 },
        { &editor->fbkModeRightMenu, 1 },  { &editor->lfoShapeLeftMenu, 10 },  { &editor->lfoShapeRightMenu, 5 },
    };
    for (int slot = 0; slot < numComboBoxes; ++slot)
    {
        auto& [box, index] = boxItems[slot];
        parameter (comboRows[(size_t) slot].parameterId)->setValue ((float) index / (float) (box->getNumItems() - 1));
    }
    juce::AudioBuffer<float> buffer (2, 64);
    buffer.clear();
    juce::MidiBuffer midi;
    processor->processBlock (buffer, midi);

    // Every slider and knob: a value on its step grid that it does not show yet.
    for (int slot = 0; slot < numSlots; ++slot)
    {
        auto* p = editor->getParameterForSlider (editor->sliders[(size_t) slot].get());
        const float shown = (float) editor->sliders[(size_t) slot]->getValue();
        p->setValue (shown < 0.5f ? 0.61f + 0.01f * (float) (slot % 7) : 0.12f + 0.01f * (float) (slot % 9));
    }

    // Every toggle switched over.
    for (int slot = 0; slot < numToggles; ++slot)
    {
        auto* p = parameter (toggleRows[(size_t) slot].parameterId);
        p->setValue (editor->toggleButtons[(size_t) slot]->getToggleState() ? 0.0f : 1.0f);
    }

    HostRecorder host (*processor);
    editor->timerCallback();

    for (int slot = 0; slot < numSlots; ++slot)
        EXPECT_NEAR (editor->sliders[(size_t) slot]->getValue(), (double) editor->getParameterForSlider (editor->sliders[(size_t) slot].get())->getValue(), 1e-6)
            << sliderRows[(size_t) slot].parameterId;
    for (int slot = 0; slot < numToggles; ++slot)
        EXPECT_EQ (editor->toggleButtons[(size_t) slot]->getToggleState(), parameter (toggleRows[(size_t) slot].parameterId)->getValue() != 0.0f)
            << toggleRows[(size_t) slot].parameterId;
    for (const auto& [box, index] : boxItems)
        EXPECT_EQ (box->getSelectedId(), index + 1) << box->getName();
    EXPECT_TRUE (host.events.isEmpty()) << host.events.joinIntoString (" ");

    // Loop on: its speed knob and reverse switch show with their captions, and hide again with it.
    for (const float loop : { 1.0f, 0.0f })
    {
        parameter ("LOOP")->setValue (loop);
        editor->timerCallback();
        for (juce::Component* c : { (juce::Component*) editor->sliders[speedKnob].get(), (juce::Component*) editor->toggleButtons[reverseToggle].get(),
                                    (juce::Component*) &editor->speedLabel, (juce::Component*) &editor->reverseLabel })
            EXPECT_EQ (c->isVisible(), loop != 0.0f);
    }

    // The timer runs on its own.
    parameter ("WET")->setValue (0.3f);
    for (int i = 0; i < 100 && std::abs (editor->sliders[wetKnob]->getValue() - 0.3) > 1e-6; ++i)
        pumpMessages (20);
    EXPECT_NEAR (editor->sliders[wetKnob]->getValue(), 0.3, 1e-6);
}

TEST_F (EditorTest, LocksFromTheMenusReachTheProcessorSurviveReopeningAndUnlockAllClearsThem)
{
    const auto locked = [this] (const char* id) { return processor->parameterLocks[(size_t) parameter (id)->getParameterIndex()].load(); };

    corvantis::KT_ColorKnob::lockMenuCallback (1, editor->knobList[driveKnob]);
    KT_ColorSlider::lockMenuCallback (1, editor->sliderList[3 * 3]); // left LEVEL 1
    editor->timerCallback();
    EXPECT_TRUE (locked ("DRIVE"));
    EXPECT_TRUE (locked ("L1LEVEL"));
    EXPECT_FALSE (locked ("DRY"));

    closeEditor();
    openEditor();
    EXPECT_TRUE (editor->knobList[driveKnob]->locked);
    EXPECT_TRUE (editor->sliderList[3 * 3]->locked);
    EXPECT_FALSE (editor->knobList[dryKnob]->locked);

    // The same menu item unlocks again at the next tick.
    corvantis::KT_ColorKnob::lockMenuCallback (1, editor->knobList[driveKnob]);
    editor->timerCallback();
    EXPECT_FALSE (locked ("DRIVE"));
    EXPECT_TRUE (locked ("L1LEVEL"));

    // "Unlock All" from any knob clears every lock, once: a lock set after it stays.
    for (auto* slider : editor->sliderList)
        KT_ColorSlider::lockMenuCallback (1, slider);
    editor->timerCallback();
    corvantis::KT_ColorKnob::lockMenuCallback (2, editor->knobList[wetKnob]);
    editor->timerCallback();
    for (auto& lock : processor->parameterLocks)
        EXPECT_FALSE (lock.load());
    for (auto* slider : editor->sliderList)
        EXPECT_FALSE (slider->locked);

    corvantis::KT_ColorKnob::lockMenuCallback (1, editor->knobList[hfCutKnob]);
    editor->timerCallback();
    editor->timerCallback();
    EXPECT_TRUE (locked ("HFCUT"));
}
