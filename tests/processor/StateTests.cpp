#include <gtest/gtest.h>
#include "TestSupport.h"
#include <thread>

using namespace ParameterTable;

// The host state envelope, the preset element and preset files. The golden files under data/processor were
// written by this version's own writer (getStateInformation, and writePresetXml for a preset file) from a
// processor whose parameter i held ((29 i) mod 64) / 64, named "Golden", with a 1111 x 567 editor.
namespace
{
    juce::File goldenFile (const char* name) { return juce::File (BRINDLEX_TEST_DATA_DIR "/processor").getChildFile (name); }

    float goldenValue (int index) { return (float) ((index * 29) % 64) / 64.0f; }

    juce::MemoryBlock stateOf (BrindlexAudioProcessor& p) { juce::MemoryBlock b; p.getStateInformation (b); return b; }

    void apply (BrindlexAudioProcessor& p, const juce::MemoryBlock& block) { p.setStateInformation (block.getData(), (int) block.getSize()); }

    /** A host envelope around any text. */
    juce::MemoryBlock envelope (const juce::String& text, juce::int64 lengthField = -1)
    {
        const auto utf8 = text.toStdString();
        const auto length = (juce::uint32) (lengthField < 0 ? (juce::int64) utf8.size() : lengthField);
        const juce::uint8 header[8] = { 'V', 'C', '2', '!', (juce::uint8) length, (juce::uint8) (length >> 8),
                                        (juce::uint8) (length >> 16), (juce::uint8) (length >> 24) };
        juce::MemoryBlock block (header, 8);
        block.append (utf8.c_str(), utf8.size() + 1);
        return block;
    }

    juce::MemoryBlock stateWith (const juce::String& attributes, const char* tag = "Brindlex_Preset")
    {
        return envelope (juce::String ("<?xml version=\"1.0\" encoding=\"UTF-8\"?> <") + tag + " " + attributes + "/>");
    }

    /** Distinct values everywhere but Link Mode, which would copy them about. */
    void scramble (BrindlexAudioProcessor& p, int seed)
    {
        juce::Random random (seed);
        for (auto* parameter : p.paramTable)
            parameter->setValue (parameter->getParameterIndex() == linkMode ? 0.0f : random.nextFloat());
    }
}

TEST (HostState, GoldenStateLoadsAndIsWrittenAgainByteForByte)
{
    juce::MemoryBlock file;
    ASSERT_TRUE (goldenFile ("host-state.bin").loadFileAsData (file));
    TestProcessor p;
    scramble (*p, 1);
    apply (*p, file);

    for (int i = 0; i < numParameters; ++i)
        EXPECT_EQ (p->getParameterAt (i)->getValue(), goldenValue (i)) << i;
    EXPECT_EQ (p->presetName, "Golden");
    EXPECT_EQ ((int) p->currentWidth, 1111);
    EXPECT_EQ ((int) p->currentHeight, 567);
    EXPECT_EQ (stateOf (*p), file);
}

TEST (PresetFile, GoldenPresetLoadsWithoutTheEditorSizeAndIsWrittenAgainAsItWas)
{
    TestProcessor p;
    scramble (*p, 2);
    p->lastStateLoadTime = juce::Time::getMillisecondCounter();
    p->loadPresetFile (goldenFile ("preset.aup"));
    for (int i = 0; i < numParameters; ++i)
        EXPECT_EQ (p->getParameterAt (i)->getValue(), goldenValue (i)) << i;
    EXPECT_EQ (p->presetName, "Golden");
    EXPECT_EQ ((int) p->currentWidth, 980) << "a preset file carries no editor size";

    p->writingPresetFile = true;
    juce::XmlElement element ("Brindlex_Preset");
    p->writePresetXml (element);
    const auto written = p.folder.getChildFile ("Written.aup");
    ASSERT_TRUE (element.writeTo (written));
    EXPECT_EQ (written.loadFileAsString(), goldenFile ("preset.aup").loadFileAsString());
}

TEST (HostState, RoundTripEditorSizeRulesAndLocks)
{
    TestProcessor source;
    scramble (*source, 3);
    source->presetName = "Round Trip";
    source->currentWidth = 1200;
    source->currentHeight = 610;
    const auto block = stateOf (*source);

    TestProcessor target;
    scramble (*target, 4);
    target->parameterLocks[wet] = true;
    target->parameterLocks[l1Time] = true;
    const auto kept = valuesOf (*target);
    apply (*target, block);
    for (int i = 0; i < numParameters; ++i)
        EXPECT_EQ (target->getParameterAt (i)->getValue(), (i == wet || i == l1Time ? kept : valuesOf (*source))[(size_t) i]) << i;
    EXPECT_EQ (target->presetName, "Round Trip");
    EXPECT_EQ ((int) target->currentHeight, 610);

    // Locks hold for preset files too; an editor size only counts when positive.
    const auto file = target.folder.getChildFile ("Locked.aup");
    ASSERT_TRUE (file.replaceWithText ("<Brindlex_Preset Wet=\"0.9\" L1TapTime=\"0.9\" Dry=\"0.9\"/>"));
    target->loadPresetFile (file);
    EXPECT_EQ (target->getParameterAt (wet)->getValue(), kept[wet]);
    EXPECT_EQ (target->getParameterAt (l1Time)->getValue(), kept[l1Time]);
    EXPECT_FLOAT_EQ (target->getParameterAt (dry)->getValue(), 0.9f);
    apply (*target, stateWith ("CurrentWidth=\"0\" CurrentHeight=\"-20\""));
    EXPECT_EQ ((int) target->currentWidth, 1200);
    EXPECT_EQ ((int) target->currentHeight, 610);
}

TEST (PresetElement, MissingTakeDefaultsAndEveryValueStaysInTheHostRange)
{
    TestProcessor p;
    scramble (*p, 5);
    apply (*p, stateWith ("majorVersion=\"7\" Wet=\"1.7\" Dry=\"-3\" Drive=\"abc\" LFeedback=\"nan\" RFeedback=\"inf\" "
                          "Input=\"1e300\" LFCut=\"0.25xyz\" wet=\"0.1\"", "brindlex_preset"));

    const std::pair<int, float> expected[] = { { wet, 1.0f }, { dry, 0.0f }, { drive, 0.0f }, { lFeedback, 0.5f },
                                               { rFeedback, 0.5f }, { input, 1.0f }, { lfCut, 0.25f } };
    for (auto [index, v] : expected)
        EXPECT_FLOAT_EQ (p->getParameterAt (index)->getValue(), v) << index;
    for (auto* parameter : p->paramTable)
        if (parameter->getParameterIndex() > lfCut && parameter->getParameterIndex() < drive)
            EXPECT_EQ (parameter->getValue(), parameter->getDefaultValue()) << parameter->name;
    EXPECT_EQ (p->presetName, "");
}

TEST (HostState, BadOrTruncatedEnvelopesApplyNothing)
{
    TestProcessor source;
    scramble (*source, 6);
    const auto good = stateOf (*source);

    TestProcessor p;
    scramble (*p, 7);
    const auto before = valuesOf (*p);
    auto notUtf8 = good;
    static_cast<unsigned char*> (notUtf8.getData())[good.getSize() - 12] = 0xff;
    auto wrongMagic = good;
    static_cast<char*> (wrongMagic.getData())[3] = 'x';

    const std::pair<const char*, juce::MemoryBlock> bad[] = {
        { "empty", {} }, { "header only", juce::MemoryBlock (good.getData(), 8) }, { "wrong magic", wrongMagic },
        { "zero length", envelope ("<Brindlex_Preset Wet=\"0.1\"/>", 0) },
        { "negative length", envelope ("<Brindlex_Preset Wet=\"0.1\"/>", 0x80000010) },
        { "cut inside the tag", envelope ("<?xml version=\"1.0\"?> <Brindlex_Preset Wet=\"0.1\"") },
        { "foreign root", stateWith ("Wet=\"0.1\"", "Other") }, { "not UTF-8", notUtf8 },
    };
    for (const auto& [what, block] : bad)
    {
        apply (*p, block);
        EXPECT_EQ (valuesOf (*p), before) << what;
    }
    for (size_t length = 0; length + 1 < good.getSize(); ++length)
    {
        p->setStateInformation (good.getData(), (int) length);
        ASSERT_EQ (valuesOf (*p), before) << "cut at " << length;
    }

    // A length field beyond the data reads to the end.
    auto longer = envelope ("<Brindlex_Preset presetName=\"Long\" Wet=\"0.125\"/>", 60);
    longer.setSize (longer.getSize() - 1);
    apply (*p, longer);
    EXPECT_EQ (p->presetName, "Long");
}

TEST (HostState, FuzzedEnvelopesNeverCrashOrLeaveTheRange)
{
    TestProcessor source;
    scramble (*source, 8);
    const auto good = stateOf (*source);
    TestProcessor p;
    juce::Random random (424242);

    for (int round = 0; round < 2000; ++round)
    {
        auto mutated = good;
        for (int n = random.nextInt ({ 1, 6 }); --n >= 0;)
            mutated[(size_t) random.nextInt ((int) mutated.getSize())] = (char) random.nextInt (256);
        p->setStateInformation (mutated.getData(), random.nextInt ({ 0, (int) mutated.getSize() + 1 }));

        auto text = juce::String::fromUTF8 (static_cast<const char*> (good.getData()) + 8, (int) good.getSize() - 9);
        const char* replacements[] = { "\"", "-", "e99", "nan", "<", "/>", "=", " ", "\xc3\xa9", "1e-400" };
        text = text.replaceSection (random.nextInt (text.length()), random.nextInt (4), juce::String::fromUTF8 (replacements[random.nextInt (10)]));
        apply (*p, envelope (text));

        for (auto v : valuesOf (*p))
            ASSERT_TRUE (v >= 0.0f && v <= 1.0f) << "round " << round;
    }
}

TEST (HostState, TheHostHearsRestoredValuesWithTheNextBlock)
{
    TestProcessor source;
    source->getParameterAt (wet)->setValue (0.9f);
    source->getParameterAt (drive)->setValue (0.4f);
    const auto state = stateOf (*source);
    const auto presetFile = source.folder.getChildFile ("Preset.aup");
    ASSERT_TRUE (presetFile.replaceWithText ("<Brindlex_Preset Wet=\"0.25\" Drive=\"0.75\"/>"));

    // Restored before the first prepare: kept by it, and every value announced with the first block.
    TestProcessor p;
    apply (*p, state);
    HostListener host (*p);
    p->prepareToPlay (48000.0, 512);
    EXPECT_TRUE (host.received.empty()) << "a host may still restore its state before the first block";
    processSilence (*p);
    EXPECT_EQ (host.received.size(), (size_t) numParameters);
    EXPECT_FLOAT_EQ (p->getParameterAt (wet)->getValue(), 0.9f);
    EXPECT_FLOAT_EQ (p->getParameterAt (drive)->getValue(), 0.4f);

    // A preset loaded on a host's thread is announced with the next block.
    host.received.clear();
    std::thread hostThread ([&] { p->loadPresetFile (presetFile); });
    hostThread.join();
    processSilence (*p);
    EXPECT_NE (std::find (host.received.begin(), host.received.end(), std::pair { (int) wet, 0.25f }), host.received.end());
    EXPECT_NE (std::find (host.received.begin(), host.received.end(), std::pair { (int) drive, 0.75f }), host.received.end());
}

TEST (StartupPreset, OnlyAnExactlyNamedPresetOneLevelDownIsApplied)
{
    const auto writeInit = [] (const juce::File& presetsFolder, const char* path) {
        presetsFolder.getChildFile (path).getParentDirectory().createDirectory();
        presetsFolder.getChildFile (path).replaceWithText ("<Brindlex_Preset presetName=\"x\" Wet=\"0.25\"/>");
    };
    const struct { const char* path; bool applied; } layouts[] = {
        { "Factory/00 - INIT.aup", true }, { "00 - INIT.aup", false }, { "A/B/00 - INIT.aup", false },
        { "A/00 - init.aup", false }, { "A/00 - INIT.xml", false }, { "A/00 - INIT .aup", false },
    };
    for (const auto& layout : layouts)
    {
        TestProcessor p ([&] (const juce::File& base) { writeInit (base.getChildFile ("Corvantis/Presets/Brindlex"), layout.path); });
        EXPECT_FLOAT_EQ (p->getParameterAt (wet)->getValue(), layout.applied ? 0.25f : 0.5f) << layout.path;
        EXPECT_EQ (p->presetName, "");
    }

    // Searched in the presets folder that the settings file names, unless that path is relative.
    const auto oldWorkingFolder = juce::File::getCurrentWorkingDirectory();
    for (const bool absolute : { true, false })
    {
        TestProcessor p ([&] (const juce::File& base) {
            writeInit (base.getChildFile ("Mine"), "A/00 - INIT.aup");
            base.setAsCurrentWorkingDirectory();
            base.getChildFile ("Corvantis/Settings").createDirectory();
            base.getChildFile ("Corvantis/Settings/Brindlex.aus").replaceWithText (
                "<CRVPLG_1198272631_Plugin_Settings pluginName=\"Brindlex\" settingsVersion=\"3\" presetsPath=\""
                + (absolute ? base.getChildFile ("Mine").getFullPathName() : juce::String ("Mine")) + "\"/>");
        });
        EXPECT_FLOAT_EQ (p->getParameterAt (wet)->getValue(), absolute ? 0.25f : 0.5f) << absolute;
        oldWorkingFolder.setAsCurrentWorkingDirectory();
    }
}

namespace
{
    /** Tap times (right ones 3.3 ms shorter) with no modulation, with feedback. */
    void setTimes (BrindlexAudioProcessor& p, const float (&ms)[4])
    {
        for (const auto& [index, value] : { std::pair { lFeedback, 0.5f }, { rFeedback, 0.4f }, { rfbSync, 0.0f }, { wet, 0.9f } })
            p.getParameterAt (index)->setValue (value);
        for (int ch = 0; ch < 2; ++ch)
            for (int k = 0; k < 4; ++k)
            {
                const int offset = ch * channelOffset + (k < 3 ? k * tapStride : lfbTime - l1Time);
                p.getParameterAt (l1Mod + offset)->setValue (0.0f);
                setPlainValue (p, l1Time + offset, ms[k] - 3.3f * (float) ch);
            }
    }

    enum class Route { knob, restoreBeforeFirstBlock, preset };

    /** Reaches a setting by one route, lets it settle over 1.5 s of silence, then plays a burst of noise and returns
        what comes out over the following seconds, both channels block by block. */
    std::vector<float> soundAfter (Route route, const float (&ms)[4], double rate, double seconds)
    {
        TestProcessor source;
        setTimes (*source, ms);

        TestProcessor p;
        if (route == Route::restoreBeforeFirstBlock)
            apply (*p, stateOf (*source));
        p->prepareToPlay (rate, 512);

        // The preset comes while longer times play, so that its glides come down to the times the others go up to.
        const float longest[4] { 5000.0f, 5000.0f, 5000.0f, 5000.0f };
        if (route == Route::preset)
            setTimes (*p, longest);

        const int settleBlocks = (int) (1.5 * rate / 512), changeBlock = settleBlocks / 6;
        for (int b = 0; b < settleBlocks; ++b)
        {
            if (b == changeBlock && route == Route::knob)
                setTimes (*p, ms);
            if (b == changeBlock && route == Route::preset)
            {
                source->writingPresetFile = true;
                juce::XmlElement element ("Brindlex_Preset");
                source->writePresetXml (element);
                const auto file = p.folder.getChildFile ("Setting.aup");
                EXPECT_TRUE (element.writeTo (file));
                p->loadPresetFile (file);
            }
            processSilence (*p, 512);
        }

        juce::Random noise (5);
        juce::AudioBuffer<float> buffer (2, 512);
        juce::MidiBuffer midi;
        std::vector<float> out;
        for (int b = 0; b < (int) (seconds * rate / 512); ++b)
        {
            for (int ch = 0; ch < 2; ++ch)
                for (int i = 0; i < 512; ++i)
                    buffer.setSample (ch, i, b < 4 ? noise.nextFloat() - 0.5f : 0.0f);
            p->processBlock (buffer, midi);
            for (int ch = 0; ch < 2; ++ch)
                out.insert (out.end(), buffer.getReadPointer (ch), buffer.getReadPointer (ch) + 512);
        }
        return out;
    }
}

class SettledSound : public ::testing::TestWithParam<double> {};
INSTANTIATE_TEST_SUITE_P (SampleRates, SettledSound, ::testing::Values (44100.0, 48000.0, 96000.0));

TEST_P (SettledSound, EveryRouteToASettingSoundsTheSameOnceSettled)
{
    // A knob move from the defaults, a host state restored before the first block, and a preset loaded while
    // longer times play: the same taps, in the same places, to the sample.
    const float nearLongest[4] { 4999.37f, 4987.11f, 4993.5f, 4990.9f }, nearTenMs[4] { 10.37f, 9.81f, 11.13f, 10.6f };
    for (const auto* times : { &nearLongest, &nearTenMs })
    {
        const double seconds = (*times)[0] / 1000.0 + 0.2;
        const auto knob = soundAfter (Route::knob, *times, GetParam(), seconds);
        // The taps sound: past the burst and before the first tap there would be silence.
        const auto firstTap = knob.begin() + 1024 * (long) ((*times)[1] / 1000.0 * GetParam() / 512);
        EXPECT_GT (std::inner_product (firstTap, knob.end(), firstTap, 0.0), 1.0) << (*times)[0];
        for (const auto route : { Route::restoreBeforeFirstBlock, Route::preset })
        {
            const auto other = soundAfter (route, *times, GetParam(), seconds);
            ASSERT_EQ (other.size(), knob.size());
            EXPECT_TRUE (std::equal (knob.begin(), knob.end(), other.begin())) << (*times)[0] << " ms, route " << (int) route;
        }
    }
}
