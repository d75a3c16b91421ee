#include "MessagePump.h"
#include <gtest/gtest.h>
#include "TestSupport.h"
#include <cmath>
#include <thread>

using namespace ParameterTable;

namespace
{
    juce::File goldenFile (const char* name) { return juce::File (BRINDLEX_TEST_DATA_DIR "/processor").getChildFile (name); }

    /** Length of a division in quarter-note beats, read from its name: "4x" is four whole notes, a "d" adds
        half, a "t" takes two thirds; "1/1t" is the one exception, 1.666 beats instead of two thirds of 4. */
    double beatsNamed (const juce::String& name)
    {
        if (name == "1/1t")
            return 1.666;
        if (name.endsWith ("x"))
            return 4.0 * name.dropLastCharacters (1).getDoubleValue();
        const double plain = 4.0 / name.fromFirstOccurrenceOf ("/", false, false).getDoubleValue();
        return plain * (name.endsWith ("d") ? 1.5 : (name.endsWith ("t") ? 2.0 / 3.0 : 1.0));
    }
}

TEST (ParameterText, EachKindOfParameterShowsItsText)
{
    TestProcessor p;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct { int index; float value; const char* text; } rows[] = {
        { l1Pan, 0.5f, "CENTER" }, { l1Pan + tapStride, 0.0f, "L 100 %" }, { r1Pan, 0.685f, "R 37 %" },
        { r1Pan, 0.502f, "CENTER" }, { l1Pan, nan, "L 100 %" },
        { input, 0.0f, "-60 dB" }, { hfCut, 1.0f, "16000 Hz" }, { wet, 0.5f, "50 %" }, { wet, nan, "0 %" },
        { lfbTime, 0.49978f, "882 ms" }, { loopReverse, 1.0f, "1 " }, { loopSpeed, 0.25f, "50 %" },
        { l1Sync, 0.0f, "Off" }, { rfbSync, 0.3f, "On" }, { lModSync, nan, "On" }, { linkMode, 1.0f, "On" }, { loopMode, 0.0f, "Off" },
        { lfbMode, 0.0f, "Normal" }, { rfbMode, 1.0f, "Cross" }, { lModRate, 0.0f, "0.01 Hz" }, { rModRate, 1.0f, "16.00 Hz" },
        { lTimeRange, 0.0f, "Full" }, { lTimeRange, 0.17f, "5 ms" }, { rTimeRange, 1.0f, "2.5 s" },
    };
    for (const auto& row : rows)
        EXPECT_EQ (p->getParameterAt (row.index)->getText (row.value, 100), row.text) << row.index << " at " << row.value;

    // Shapes show what the processor last applied, whatever value is asked about (synced times: below).
    p->lfoShapeIndex[0] = 3;
    p->lfoShapeIndex[1] = 10;
    EXPECT_EQ (p->getParameterAt (lModShape)->getText (0.0f, 100), "Saw");
    EXPECT_EQ (p->getParameterAt (rModShape)->getText (0.0f, 100), "Smooth Random");

    // Under "5 ms" the taps show two decimals; the feedback tap never does.
    setPlainValue (*p, lTimeRange, 1.0f);
    processSilence (*p);
    EXPECT_EQ (p->getParameterAt (l1Time)->getText (0.5f, 100), "2.55 ms");
    EXPECT_EQ (p->getParameterAt (lfbTime)->getText (0.0f, 100), "0 ms");
}

TEST (ParameterText, EveryShownTextTypedBackShowsTheSame)
{
    TestProcessor p;
    auto roundTrips = [] (KT_NewFloatParameter& parameter)
    {
        for (int i = 0; i <= 200; ++i)
        {
            const auto text = parameter.getText ((float) i / 200.0f, 100);
            ASSERT_EQ (parameter.getText (parameter.getValueForText (text), 100), text) << parameter.name;
        }
    };
    for (auto* parameter : p->paramTable)
        roundTrips (*parameter);
    setPlainValue (*p, lTimeRange, 1.0f);
    processSilence (*p);
    roundTrips (*p->getParameterAt (l1Time));

    const struct { int index; const char* typed; const char* shown; } typed[] = {
        { wet, "25", "25 %" }, { wet, "250 %", "100 %" }, { l1Pan, "l 20", "L 20 %" }, { r1Pan, "center", "CENTER" },
        { rfbMode, "cross", "Cross" }, { loopMode, "ON", "On" }, { rTimeRange, "1.0 s", "1.0 s" }, { input, "-6dB", "-6 dB" },
    };
    for (const auto& row : typed)
    {
        auto* parameter = p->getParameterAt (row.index);
        EXPECT_EQ (parameter->getText (parameter->getValueForText (row.typed), 100), row.shown) << row.typed;
    }

    EXPECT_FLOAT_EQ (p->getParameterAt (rModShape)->getValueForText ("smooth square"), 0.6f);

    // Nonsense leaves the value where it is.
    auto* wetParameter = p->getParameterAt (wet);
    wetParameter->setValue (0.3f);
    for (auto* nonsense : { "loud", "", "X 20 %" })
        EXPECT_FLOAT_EQ (wetParameter->getValueForText (nonsense), 0.3f) << nonsense;
}

TEST (TempoDivisions, EveryDivisionLastsWhatItsNameSays)
{
    TestProcessor p;
    p->prepareToPlay (48000.0, 64);
    auto* time = p->getParameterAt (r1Time + tapStride);
    auto* rate = p->getParameterAt (lModRate);
    p->getParameterAt (r1Sync + tapStride)->setValue (1.0f);
    p->getParameterAt (lModSync)->setValue (1.0f);
    processSilence (*p); // the first block takes up the 120 bpm of a host without a play head

    ASSERT_EQ (p->syncDivisionNames.size(), numDivisions);
    for (const auto& name : p->syncDivisionNames)
    {
        // Typed in, at 120 bpm (500 ms a beat, two beats a second).
        time->setValue (time->getValueForText (name));
        rate->setValue (rate->getValueForText (name));
        processSilence (*p);
        EXPECT_EQ (time->getText (0.0f, 100), name);
        EXPECT_EQ (rate->getText (0.0f, 100), name);
        EXPECT_NEAR (p->engine.tapTimeMs[1][1] / (500.0 * beatsNamed (name)), 1.0, 0.002) << name;
        EXPECT_NEAR (p->engine.lfo[0].rate * beatsNamed (name) / 2.0, 1.0, 0.002) << name;
    }
}

TEST (TimeRanges, EachRangeEndsWhereItsNameSays)
{
    TestProcessor p;
    auto* range = p->getParameterAt (rTimeRange);
    for (int r = 0; r < numTimeRanges; ++r)
    {
        setPlainValue (*p, rTimeRange, (float) r);
        processSilence (*p);
        const auto name = range->getText (range->getValue(), 100);
        const double end = r == 0 ? 5000.0 : name.getDoubleValue() * (name.endsWith (" s") ? 1000.0 : 1.0);
        for (int k = 0; k < 3; ++k)
        {
            auto* time = p->getParameterAt (r1Time + k * tapStride);
            EXPECT_FLOAT_EQ (time->getRange().start, 0.1f) << name;
            EXPECT_FLOAT_EQ (time->getRange().end, (float) end) << name;
        }
        EXPECT_FLOAT_EQ (p->getParameterAt (l1Time)->getRange().end, 5000.0f) << "the other channel keeps its range";
    }
}

TEST (LinkMode, EveryPairCopiesBothWaysAndPansStayApart)
{
    TestProcessor p;
    p->prepareToPlay (48000.0, 64);
    p->getParameterAt (linkMode)->setValue (1.0f);
    processSilence (*p);
    for (const int from : { 0, 1 })
    {
        const auto before = valuesOf (*p);
        const auto twin = [&] (int i) { return p->getParameterAt (lTimeRange + (1 - from) * channelOffset + i); };
        const auto expected = [&] (int i)
        {
            const bool isPan = twin (i)->getText (0.5f, 100) == "CENTER";
            return isPan ? before[(size_t) twin (i)->getParameterIndex()] : (float) (i + 1 + 30 * from) / 64.0f;
        };
        const auto allLanded = [&]
        {
            for (int i = 0; i < channelOffset; ++i)
                if (twin (i)->getValue() != expected (i))
                    return false;
            return true;
        };

        // Distinct values on one side, the right ones from a host's audio thread: each lands on its own twin.
        std::atomic<bool> allSet { false };
        std::thread changes ([&] {
            for (int i = 0; i < channelOffset; ++i)
                p->getParameterAt (lTimeRange + from * channelOffset + i)->setValue ((float) (i + 1 + 30 * from) / 64.0f);
            allSet = true;
        });
        if (from == 0)
            changes.join();
        pumpUntil ([&] { return allSet.load(); }); // for the right ones, copies run while the thread still sets values
        if (from == 1)
            changes.join();
        EXPECT_TRUE (pumpUntil (allLanded));
        for (int i = 0; i < channelOffset; ++i)
            EXPECT_EQ (twin (i)->getValue(), expected (i)) << twin (i)->name;
    }

    // The host hears of a copy with the next block, once; globals and a switched-off Link Mode copy nothing.
    processSilence (*p);
    HostListener host (*p);
    p->getParameterAt (l2Time + 2)->setValue (0.8f);
    p->getParameterAt (drive)->setValue (0.7f);
    EXPECT_TRUE (pumpUntil ([&] { return p->getParameterAt (l2Time + 2 + channelOffset)->getValue() == 0.8f; }));
    EXPECT_TRUE (host.received.empty());
    processSilence (*p);

    // The copy has been made and announced: a copy back or another announcement, which must not come, would
    // have its 1 ms timer run in this time.
    pumpMessages (50);
    processSilence (*p);
    EXPECT_EQ (host.received, (std::vector<std::pair<int, float>> { { l2Time + 2 + channelOffset, 0.8f } }));

    p->getParameterAt (linkMode)->setValue (0.0f);
    processSilence (*p);
    p->getParameterAt (l3Time + 4)->setValue (0.1f);
    pumpMessages (50); // a copy, which must not come, would have its 1 ms timer run in this time
    EXPECT_NE (p->getParameterAt (l3Time + 4 + channelOffset)->getValue(), 0.1f);
}

TEST (LinkMode, WhatThePluginSetsItselfIsNeverCopied)
{
    // The golden state has Link Mode on and the two channels apart: a project saved like this.
    juce::MemoryBlock state;
    ASSERT_TRUE (goldenFile ("host-state.bin").loadFileAsData (state));
    const std::pair<const char*, std::function<void (BrindlexAudioProcessor&, FixedPlayHead&)>> actions[] = {
        { "tempo change", [] (BrindlexAudioProcessor& p, FixedPlayHead& head) { head.bpm = 97.0; processSilence (p); } },
        { "new sample rate", [] (BrindlexAudioProcessor& p, FixedPlayHead&) { p.prepareToPlay (44100.0, 64); } },
        { "state restored", [&state] (BrindlexAudioProcessor& p, FixedPlayHead&) { p.setStateInformation (state.getData(), (int) state.getSize()); } },
        { "preset loaded", [] (BrindlexAudioProcessor& p, FixedPlayHead&) { p.loadPresetFile (goldenFile ("preset.aup")); } },
    };

    for (const auto& [what, action] : actions)
    {
        TestProcessor p;
        FixedPlayHead head;
        p->setPlayHead (&head);
        p->prepareToPlay (48000.0, 64);
        p->setStateInformation (state.getData(), (int) state.getSize());
        processSilence (*p);
        ASSERT_TRUE (pumpPosted()); // what the restore posted has arrived before the values are taken
        const auto before = valuesOf (*p);
        action (*p, head);

        // A copy, which must not come, would have its 1 ms timer run in these times.
        pumpMessages (50);
        processSilence (*p);
        pumpMessages (50);
        EXPECT_EQ (valuesOf (*p), before) << what;
        EXPECT_TRUE (p->linkMode.load()) << what;
        p->setPlayHead (nullptr);
    }
}

TEST (ParameterText, ReadersSeeOneWholeRangeWhileTheAudioThreadSwitchesIt)
{
    // A reader sees the text and typed value under one of the ranges, never a mixture of two. "5 ms" is
    // left out: its texts also depend on the range index that the processor keeps apart.
    TestProcessor p;
    auto* time = p->getParameterAt (l1Time);
    const int ranges[] = { 0, 2, 3, 4, 5, 6 };
    juce::StringArray texts;
    juce::Array<float> typed;
    for (const int range : ranges)
    {
        p->setTimeRange (range, 0);
        texts.add (time->getText (0.37f, 100));
        typed.add (time->getValueForText ("10 ms"));
    }

    std::atomic<bool> reading { true };
    std::thread audio ([&] {
        for (int i = 0; reading.load(); ++i)
            p->setTimeRange (ranges[i % 6], 0);
    });
    int mixed = 0;
    for (int i = 0; i < 50000; ++i)
        mixed += texts.contains (time->getText (0.37f, 100)) && typed.contains (time->getValueForText ("10 ms")) ? 0 : 1;
    reading = false;
    audio.join();
    EXPECT_EQ (mixed, 0);
}

TEST (Unloading, DeletionOnAnotherThreadNeverMeetsARunningLinkCopy)
{
    // A host may delete the plug-in on its own thread while the message thread runs the link-copy timers;
    // a callback left running would read freed parameters (a crash, or a report under the address sanitizer).
    TestProcessor folderOwner;
    for (int round = 0; round < 160; ++round)
    {
        auto processor = std::make_unique<BrindlexAudioProcessor> (folderOwner.folder);
        processor->linkMode = true;
        for (int i = 0; i < 8; ++i)
            processor->getParameterAt (lTimeRange + i)->setValue ((float) (round % 7) / 7.0f);

        std::atomic<bool> deleted { false };
        std::thread host ([&] {
            juce::Thread::sleep (round % 3);
            processor.reset();
            deleted = true;
        });
        while (! deleted.load())
            pumpMessages (1);
        host.join();
    }
}
