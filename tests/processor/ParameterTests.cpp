#include "MessagePump.h"
#include <gtest/gtest.h>
#include "processor/BrindlexAudioProcessor.h"
#include "TestSupport.h"
#include <thread>

namespace
{
    KT_NewFloatParameter* byName (BrindlexAudioProcessor& p, const juce::String& name)
    {
        for (auto* param : p.paramTable)
            if (param->getName (256) == name)
                return param;
        return nullptr;
    }

    /** Counts value notifications per parameter, as a host's listener would see them. */
    struct NotificationCounter : juce::AudioProcessorParameter::Listener
    {
        explicit NotificationCounter (BrindlexAudioProcessor& p) : processor (p)
        {
            for (auto* param : processor.getParameters())
                param->addListener (this);
        }

        ~NotificationCounter() override
        {
            for (auto* param : processor.getParameters())
                param->removeListener (this);
        }

        void parameterValueChanged (int index, float newValue) override
        {
            ++counts[(size_t) index];
            lastValues[(size_t) index] = newValue;
        }

        void parameterGestureChanged (int, bool) override {}

        int total() const
        {
            int sum = 0;
            for (auto c : counts)
                sum += c;
            return sum;
        }

        void clear() { counts.fill (0); }

        BrindlexAudioProcessor& processor;
        std::array<int, 64> counts {};
        std::array<float, 64> lastValues {};
    };

    void runMessageLoop (int milliseconds)
    {
        pumpMessages (milliseconds);
    }

    /** One silent block: it hands the host what the plug-in announced since the last one. */
    void processOneBlock (BrindlexAudioProcessor& p)
    {
        juce::AudioBuffer<float> buffer (2, 64);
        juce::MidiBuffer midi;
        buffer.clear();
        p.processBlock (buffer, midi);
    }

    /** A prepared processor whose first block has run, with Link Mode switched on or off. */
    void prepareWithLink (BrindlexAudioProcessor& p, bool on)
    {
        p.prepareToPlay (48000.0, 64);
        byName (p, "Link Mode")->setValue (on ? 1.0f : 0.0f);
        processOneBlock (p);
    }
}

TEST (ParameterTable, IdsNamesAndOrderAsTheHostSeesThem)
{
    TestProcessor p;
    auto& params = p->getParameters();
    ASSERT_EQ (params.size(), 64);

    const char* const ids[] = { "ILEVEL", "LFCUT", "HFCUT", "LTRANGE", "L1TIME", "L1SYNC", "L1MOD", "L1PAN", "L1LEVEL" };
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ (dynamic_cast<juce::AudioProcessorParameterWithID*> (params[i])->paramID, ids[i]);

    EXPECT_EQ (dynamic_cast<juce::AudioProcessorParameterWithID*> (params[30])->paramID, "RTRANGE");
    EXPECT_EQ (params[30]->getName (256), "R Time Range");
    EXPECT_EQ (dynamic_cast<juce::AudioProcessorParameterWithID*> (params[63])->paramID, "LPREV");
    EXPECT_EQ (params[63]->getName (256), "Loop Reverse");
    EXPECT_EQ (params[4]->getName (2), "L1 Tap Time") << "the maximum length is ignored";
    EXPECT_EQ (params[4]->getLabel(), "");
}

TEST (ParameterTable, DefaultsAsConstructed)
{
    TestProcessor p;
    auto& params = p->getParameters();

    // 883 ms on 0.1..5000 with skew 0.4: ((883 - 0.1) / 4999.9) ^ 0.4
    const float tapDefault = std::pow ((883.0f - 0.1f) / 4999.9f, 0.4f);
    EXPECT_NEAR (tapDefault, 0.49978f, 1.0e-5f);
    for (int index : { 4, 9, 14, 20, 31, 36, 41, 47 })
        EXPECT_NEAR (params[index]->getDefaultValue(), tapDefault, 1.0e-6f) << index;

    EXPECT_FLOAT_EQ (params[48]->getDefaultValue(), 1.0f);
    EXPECT_FLOAT_EQ (params[21]->getDefaultValue(), 0.0f);
    EXPECT_FLOAT_EQ (params[7]->getDefaultValue(), 0.0f);
    EXPECT_FLOAT_EQ (params[34]->getDefaultValue(), 1.0f);
    EXPECT_FLOAT_EQ (params[28]->getDefaultValue(), 0.0f);
    EXPECT_FLOAT_EQ (params[2]->getDefaultValue(), 1.0f);
    EXPECT_FLOAT_EQ (params[59]->getDefaultValue(), 0.5f);
    EXPECT_FLOAT_EQ (params[62]->getDefaultValue(), 0.5f);

    // Every parameter holds its default after construction.
    for (auto* param : params)
        EXPECT_FLOAT_EQ (param->getValue(), param->getDefaultValue()) << param->getName (256);
}

TEST (ParameterTable, TempoDivisions)
{
    TestProcessor p;
    ASSERT_EQ (p->syncDivisionNames.size(), 29);
    EXPECT_EQ (p->syncDivisionNames[0], "32x");
    EXPECT_EQ (p->syncDivisionNames[11], "1/4");
    EXPECT_EQ (p->syncDivisionNames[14], "1/32");
    EXPECT_EQ (p->syncDivisionNames[23], "1/1t");
    EXPECT_EQ (p->syncDivisionNames[28], "1/32t");

    // At 120 bpm a beat lasts 500 ms.
    EXPECT_NEAR (500.0f * p->syncDivisionBeats[11], 500.0f, 1.0e-3f);
    EXPECT_NEAR (500.0f * p->syncDivisionBeats[23], 833.0f, 1.0e-3f);
    EXPECT_FLOAT_EQ (p->syncDivisionBeats[16], 0.041666f);
    EXPECT_FLOAT_EQ (p->syncDivisionBeats[26], 0.333f);
}

TEST (ParameterText, PansAndDefaultTexts)
{
    TestProcessor p;
    auto* pan = byName (*p, "L1 Tap Pan");
    EXPECT_EQ (pan->getText (0.5f, 100), "CENTER");
    EXPECT_EQ (pan->getText (0.0f, 100), "L 100 %");
    EXPECT_EQ (pan->getText (1.0f, 100), "R 100 %");
    EXPECT_EQ (pan->getText (0.685f, 100), "R 37 %");
    EXPECT_EQ (pan->getText (0.502f, 100), "CENTER") << "plain values strictly inside -1..1 are centred";

    EXPECT_EQ (byName (*p, "Input")->getText (0.0f, 100), "-60 dB");
    EXPECT_EQ (byName (*p, "HF Cut")->getText (1.0f, 100), "16000 Hz");
    EXPECT_EQ (byName (*p, "Wet")->getText (0.5f, 100), "50 %");
    EXPECT_EQ (byName (*p, "LFB Tap Time")->getText (0.49978f, 100), "882 ms");
    EXPECT_EQ (byName (*p, "Loop Reverse")->getText (1.0f, 100), "1 ");
    EXPECT_EQ (byName (*p, "Loop Reverse")->getText (0.0f, 100), "0 ");
}

TEST (ParameterText, SwitchesModesRangesAndShapes)
{
    TestProcessor p;
    for (auto* name : { "L1 Tap Sync", "RFB Tap Sync", "LMOD Sync", "Link Mode", "Loop Mode" })
    {
        EXPECT_EQ (byName (*p, name)->getText (0.0f, 100), "Off") << name;
        EXPECT_EQ (byName (*p, name)->getText (0.3f, 100), "On") << name;
        EXPECT_EQ (byName (*p, name)->getText (std::numeric_limits<float>::quiet_NaN(), 100), "On") << name;
    }

    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ (byName (*p, "Wet")->getText (nan, 100), "0 %") << "a NaN from a host reads as the range's start";
    EXPECT_EQ (byName (*p, "L2 Tap Pan")->getText (nan, 100), "L 100 %");

    EXPECT_EQ (byName (*p, "LFB Tap Mode")->getText (0.0f, 100), "Normal");
    EXPECT_EQ (byName (*p, "RFB Tap Mode")->getText (1.0f, 100), "Cross");

    auto* range = byName (*p, "L Time Range");
    const char* const ranges[] = { "Full", "5 ms", "25 ms", "100 ms", "500 ms", "1.0 s", "2.5 s" };
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ (range->getText ((float) i / 6.0f + 0.001f, 100), ranges[i]);

    // The shape text follows the shape the processor applied, whatever value is asked about.
    auto* shape = byName (*p, "LMOD Shape");
    p->lfoShapeIndex[0] = 3;
    EXPECT_EQ (shape->getText (0.0f, 100), "Saw");
    p->lfoShapeIndex[0] = 10;
    EXPECT_EQ (shape->getText (0.0f, 100), "Smooth Random");
    p->lfoShapeIndex[1] = 7;
    EXPECT_EQ (byName (*p, "RMOD Shape")->getText (1.0f, 100), "Blip Down");
}

TEST (ParameterText, TapTimesFollowRangeAndSync)
{
    TestProcessor p;
    auto* l1 = byName (*p, "L1 Tap Time");
    auto* lfb = byName (*p, "LFB Tap Time");

    // "5 ms": 0.1..5, skew 1; 0.5 reads 2.55 ms with two decimals.
    l1->useTimeRange (1, 2.449f);
    lfb->useTimeRange (1, 2.449f);
    p->timeRangeIndex[0] = 1;
    EXPECT_EQ (l1->getText (0.5f, 100), "2.55 ms");
    EXPECT_EQ (lfb->getText (0.5f, 100), "2 ms") << "the feedback time never shows decimals";

    l1->useTimeRange (2, 12.0f);
    p->timeRangeIndex[0] = 2;
    EXPECT_EQ (l1->getText (0.48f, 100), "12 ms");

    // Synced: the division the processor last derived, whatever value is asked about.
    p->syncEnabled[0] = true;
    p->divisionIndex[0] = 11;
    EXPECT_EQ (l1->getText (0.9f, 100), "1/4");
    p->syncEnabled[7] = true;
    p->divisionIndex[7] = 23;
    EXPECT_EQ (byName (*p, "RFB Tap Time")->getText (0.0f, 100), "1/1t");

    auto* rate = byName (*p, "LMOD Rate");
    EXPECT_EQ (rate->getText (0.0f, 100), "0.01 Hz");
    p->syncEnabled[8] = true;
    p->divisionIndex[8] = 9;
    EXPECT_EQ (rate->getText (0.0f, 100), "1/1");
}

TEST (ParameterText, TypedTextsGoBackToTheirValues)
{
    TestProcessor p;
    auto roundTrips = [&p] (const char* name, float v)
    {
        auto* param = byName (*p, name);
        const auto text = param->getText (v, 100);
        const float back = param->getValueForText (text);
        EXPECT_EQ (param->getText (back, 100), text) << name << " " << text;
    };

    // Every text a parameter shows, typed back, shows again as it was ("53 %" must not come back as "52 %").
    for (auto* param : p->paramTable)
        for (int i = 0; i <= 200; ++i)
            roundTrips (param->getName (256).toRawUTF8(), (float) i / 200.0f);

    auto* pan = byName (*p, "L1 Tap Pan");
    EXPECT_NEAR (pan->getValueForText ("CENTER"), 0.5f, 1.0e-6f);
    EXPECT_NEAR (pan->getValueForText ("L 100 %"), 0.0f, 1.0e-6f);
    EXPECT_NEAR (pan->getValueForText ("R 37 %"), 0.685f, 1.0e-6f);

    auto* wet = byName (*p, "Wet");
    EXPECT_NEAR (wet->getValueForText ("25 %"), 0.25f, 1.0e-6f);
    EXPECT_NEAR (wet->getValueForText ("25"), 0.25f, 1.0e-6f);
    EXPECT_NEAR (wet->getValueForText ("250 %"), 1.0f, 1.0e-6f) << "out-of-range numbers are clamped";

    auto* time = byName (*p, "L1 Tap Time");
    EXPECT_NEAR (time->getRange().convertFrom0to1 (time->getValueForText ("883 ms")), 883.0f, 0.01f);
    EXPECT_EQ ((int) (28.0f * time->getValueForText ("1/4")), 11) << "a division name selects that division";
    EXPECT_EQ ((int) (28.0f * time->getValueForText ("1/32t")), 28);

    EXPECT_EQ ((int) byName (*p, "LMOD Shape")->getRange().convertFrom0to1 (byName (*p, "LMOD Shape")->getValueForText ("Smooth Square")), 6);

    // Nonsense leaves the value where it is.
    wet->setValue (0.3f);
    EXPECT_FLOAT_EQ (wet->getValueForText ("loud"), 0.3f);
    EXPECT_FLOAT_EQ (wet->getValueForText (""), 0.3f);
    EXPECT_FLOAT_EQ (pan->getValueForText ("X 20 %"), pan->getValue());

    // Two decimals under the "5 ms" range.
    byName (*p, "L1 Tap Time")->useTimeRange (1, 2.449f);
    p->timeRangeIndex[0] = 1;
    for (int i = 0; i <= 200; ++i)
        roundTrips ("L1 Tap Time", (float) i / 200.0f);
}

TEST (LinkMode, CopiesOnceToTheTwinAndThenStaysQuiet)
{
    TestProcessor p;
    prepareWithLink (*p, true);
    NotificationCounter counter (*p);
    auto* l2Mod = byName (*p, "L2 Tap Mod");
    auto* r2Mod = byName (*p, "R2 Tap Mod");
    const int r2Index = r2Mod->getParameterIndex();
    const int l2Index = l2Mod->getParameterIndex();

    l2Mod->setValue (0.8f);
    runMessageLoop (100);
    EXPECT_FLOAT_EQ (r2Mod->getValue(), 0.8f);
    EXPECT_EQ (counter.total(), 0) << "the host hears of the copy with the next block";

    processOneBlock (*p);
    EXPECT_EQ (counter.counts[(size_t) r2Index], 1);
    EXPECT_FLOAT_EQ (counter.lastValues[(size_t) r2Index], 0.8f);
    EXPECT_EQ (counter.counts[(size_t) l2Index], 0) << "the copy is not sent back";

    counter.clear();
    runMessageLoop (100);
    processOneBlock (*p);
    EXPECT_EQ (counter.total(), 0) << "the pair stays quiet while link mode stays on";

    // Right to left works as well, and from a host's audio thread too.
    std::thread audio ([&p] { byName (*p, "RMOD Rate")->setValue (0.25f); });
    audio.join();
    runMessageLoop (100);
    processOneBlock (*p);
    EXPECT_FLOAT_EQ (byName (*p, "LMOD Rate")->getValue(), 0.25f);
    EXPECT_EQ (counter.total(), 1);
}

TEST (LinkMode, PansGlobalsAndLinkOffCopyNothing)
{
    TestProcessor p;
    prepareWithLink (*p, true);
    NotificationCounter counter (*p);

    byName (*p, "L1 Tap Pan")->setValue (0.3f);
    byName (*p, "Drive")->setValue (0.7f);
    byName (*p, "LF Cut")->setValue (0.2f);
    runMessageLoop (50);
    processOneBlock (*p);
    EXPECT_EQ (counter.total(), 0);
    EXPECT_FLOAT_EQ (byName (*p, "R1 Tap Pan")->getValue(), 1.0f);

    byName (*p, "Link Mode")->setValue (0.0f);
    processOneBlock (*p);
    byName (*p, "L3 Tap Level")->setValue (0.1f);
    runMessageLoop (50);
    processOneBlock (*p);
    EXPECT_EQ (counter.total(), 0);
    EXPECT_FLOAT_EQ (byName (*p, "R3 Tap Level")->getValue(), 1.0f);
}

TEST (LinkMode, WhatThePluginSetsItselfIsNeverCopied)
{
    struct TempoHead : juce::AudioPlayHead
    {
        juce::Optional<PositionInfo> getPosition() const override
        {
            PositionInfo info;
            info.setBpm (bpm);
            return info;
        }
        double bpm = 120.0;
    };

    // Pairs that differ, Link Mode on: a project saved like this, or a preset stored like this.
    const std::pair<const char*, float> stored[] = { { "L1 Tap Time", 0.8f }, { "R1 Tap Time", 0.2f },
                                                     { "L2 Tap Time", 0.3f }, { "R2 Tap Time", 0.7f },
                                                     { "L1 Tap Mod", 0.1f }, { "R1 Tap Mod", 0.9f },
                                                     { "LFB Tap Mode", 1.0f }, { "RFB Tap Mode", 0.0f } };
    TestProcessor source;
    for (auto [name, v] : stored)
        byName (*source, name)->setValue (v);
    byName (*source, "Link Mode")->setValue (1.0f);
    juce::MemoryBlock state;
    source->getStateInformation (state);
    const auto presetFile = source.folder.getChildFile ("Stored.aup");
    juce::XmlElement element ("Brindlex_Preset");
    source->writePresetXml (element);
    ASSERT_TRUE (element.writeTo (presetFile));

    const std::pair<const char*, std::function<void (BrindlexAudioProcessor&, TempoHead&)>> actions[] = {
        { "tempo change", [] (BrindlexAudioProcessor& p, TempoHead& head) { head.bpm = 97.0; processOneBlock (p); } },
        { "new sample rate", [] (BrindlexAudioProcessor& p, TempoHead&) { p.prepareToPlay (44100.0, 64); } },
        { "state restored", [&state] (BrindlexAudioProcessor& p, TempoHead&) { p.setStateInformation (state.getData(), (int) state.getSize()); } },
        { "preset loaded", [&presetFile] (BrindlexAudioProcessor& p, TempoHead&) { p.loadPresetFile (presetFile); } },
    };

    for (const auto& [what, action] : actions)
    {
        TestProcessor p;
        TempoHead head;
        p->setPlayHead (&head);
        prepareWithLink (*p, false);
        for (auto [name, v] : stored)
            byName (*p, name)->setValue (v);
        byName (*p, "Link Mode")->setValue (1.0f);
        processOneBlock (*p);
        runMessageLoop (30);

        action (*p, head);
        runMessageLoop (50);
        processOneBlock (*p);
        runMessageLoop (50);

        for (auto [name, v] : stored)
            EXPECT_FLOAT_EQ (byName (*p, name)->getValue(), v) << what << ": " << name;
        EXPECT_TRUE (p->linkMode.load()) << what;
        p->setPlayHead (nullptr);
    }
}

TEST (ParameterChanges, EverySetValueRaisesTheChangedFlag)
{
    TestProcessor p;
    p->parametersChanged = false;
    byName (*p, "Dry")->setValue (0.2f);
    EXPECT_TRUE (p->parametersChanged.load());
    EXPECT_FLOAT_EQ (byName (*p, "Dry")->getValue(), 0.2f);
}

TEST (ParameterText, ReadersSeeOneWholeRangeWhileTheAudioThreadSwitchesIt)
{
    TestProcessor p;
    auto* time = p->getParameterAt (ParameterTable::l1Time);
    constexpr float value = 0.37f;

    // What a reader may see: the text and typed value under one of the ranges, never a mixture of two.
    // "5 ms" is left out: its texts also depend on the range index that the processor keeps apart.
    const int ranges[] = { 0, 2, 3, 4, 5, 6 };
    juce::StringArray texts;
    juce::Array<float> typed;
    for (const int range : ranges)
    {
        p->setTimeRange (range, 0);
        texts.add (time->getText (value, 100));
        typed.add (time->getValueForText ("10 ms"));
    }

    std::atomic<bool> reading { true };
    std::thread audio ([&]
    {
        for (int i = 0; reading.load(); ++i)
            p->setTimeRange (ranges[i % 6], 0);
    });

    int mixed = 0;
    for (int i = 0; i < 50000; ++i)
    {
        if (! texts.contains (time->getText (value, 100)) || ! typed.contains (time->getValueForText ("10 ms")))
            ++mixed;
    }

    reading = false;
    audio.join();
    EXPECT_EQ (mixed, 0);
}

TEST (Unloading, DeletionOnAnotherThreadNeverMeetsARunningLinkCopy)
{
    // A host may delete the plug-in on its own thread while the message thread runs the link-copy timers.
    // Each round deletes while copies are due every millisecond; a callback left running would read freed
    // parameters (a crash here, a report under the address sanitizer).
    const auto folder = juce::File::createTempFile ("brindlex-unload");
    folder.createDirectory();

    for (int round = 0; round < 40; ++round)
    {
        auto processor = std::make_unique<BrindlexAudioProcessor> (folder);
        processor->linkMode = true;

        for (int i = 0; i < 8; ++i)
            byName (*processor, ParameterTable::parameters[(size_t) (3 + i)].name)->setValue ((float) (round % 7) / 7.0f);

        std::atomic<bool> deleted { false };
        std::thread host ([&]
        {
            juce::Thread::sleep (round % 3);
            processor.reset();
            deleted = true;
        });

        while (! deleted.load())
            runMessageLoop (1);

        host.join();
    }

    folder.deleteRecursively();
}
