#include <gtest/gtest.h>
#include "AudioThreadProbe.h"
#include "MessagePump.h"
#include "TestSupport.h"
#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

using namespace ParameterTable;

// processBlock runs on the host's audio thread: it must never allocate, whatever the settings, in loop
// mode, and while the host's tempo moves, and takes no lock but those of the values it announces.
namespace
{
    constexpr double sampleRate = 48000.0;
    constexpr int blockSize = 512;

    /** A play head whose tempo the test changes between blocks. */
    struct MovingTempoPlayHead : juce::AudioPlayHead
    {
        juce::Optional<PositionInfo> getPosition() const override
        {
            PositionInfo info;
            info.setBpm (bpm);
            info.setTimeSignature (TimeSignature { 3, 4 });
            info.setIsPlaying (true);
            return info;
        }

        double bpm = 120.0;
    };

    enum class Setting { defaults, everyTapModulated, loop, everyTapSyncedToTheTempo };

    void configure (BrindlexAudioProcessor& processor, Setting setting)
    {
        const auto set = [&processor] (int index, float value) { processor.getParameterAt (index)->setValue (value); };

        for (int ch = 0; ch < 2; ++ch)
        {
            const int offset = ch * channelOffset;
            for (int k = 0; k < 3; ++k)
            {
                if (setting == Setting::everyTapModulated)
                {
                    set (l1Mod + offset + k * tapStride, 1.0f);
                    set (l1Level + offset + k * tapStride, 1.0f);
                }
                if (setting == Setting::everyTapSyncedToTheTempo)
                    set (l1Sync + offset + k * tapStride, 1.0f);
            }

            if (setting == Setting::everyTapModulated)
            {
                set (lfbMod + offset, 1.0f);
                set (lfbMode + offset, 1.0f);
                set (lFeedback + offset, 0.9f);
                set (lModRate + offset, 0.5f);
            }
            if (setting == Setting::everyTapSyncedToTheTempo)
                set (lModSync + offset, 1.0f);
        }

        if (setting == Setting::everyTapModulated)
            set (drive, 0.5f);
        if (setting == Setting::loop)
            set (loopMode, 1.0f);
    }

    class RealtimeSafety : public ::testing::TestWithParam<Setting> {};
}

TEST_P (RealtimeSafety, ProcessBlockNeverAllocatesAndLocksOnlyToAnnounce)
{
    TestProcessor processor;
    MovingTempoPlayHead playHead;
    auto& parameters = processor->getParameters();

    // The framework announces a value to the host under the parameter's listener lock, and offers no other
    // way: the one lock a block may take, once for each value that the plug-in announces in it.
    std::vector<const void*> listenerLock;
    for (auto* parameter : parameters)
    {
        AudioThreadProbe probe;
        parameter->sendValueChangedMessageToListeners (parameter->getValue());
        ASSERT_EQ (probe.locksTaken(), 1);
        listenerLock.push_back (probe.lockedMutex (0));
    }

    std::vector<int> everyParameter (parameters.size());
    std::iota (everyParameter.begin(), everyParameter.end(), 0);
    const std::vector<int> nothing;
    const std::vector<int> tapTimes { l1Time, l2Time, l3Time, lfbTime, r1Time, r1Time + tapStride, r1Time + 2 * tapStride, rfbTime };

    juce::AudioBuffer<float> buffer (2, blockSize);
    juce::MidiBuffer midi;
    juce::Random random (7);
    const auto process = [&] (const std::string& when, const std::vector<int>& announced)
    {
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < blockSize; ++i)
                buffer.setSample (ch, i, random.nextFloat() * 2.0f - 1.0f);

        std::vector<const void*> locked (256);
        int allocatorCalls = 0, locksTaken = 0;
        {
            AudioThreadProbe probe;
            processor->processBlock (buffer, midi);
            allocatorCalls = probe.allocatorCalls();
            locksTaken = probe.locksTaken();
            for (size_t n = 0; n < locked.size(); ++n)
                locked[n] = probe.lockedMutex ((int) n);
        }
        locked.resize ((size_t) juce::jmin (locksTaken, (int) locked.size()));

        std::vector<const void*> expected;
        for (auto index : announced)
            expected.push_back (listenerLock[(size_t) index]);
        std::sort (locked.begin(), locked.end());
        std::sort (expected.begin(), expected.end());

        EXPECT_EQ (allocatorCalls, 0) << when;
        EXPECT_EQ (locksTaken, (int) announced.size()) << when;
        EXPECT_EQ (locked, expected) << when << ": the announced parameters' listener locks, each once";
    };
    const auto processQuietBlocks = [&] (const std::string& when, int count)
    {
        for (int i = 0; i < count; ++i)
            process (when, nothing);
    };

    // Lines filled without a play head first, as loop mode plays back what was recorded before it.
    processor->prepareToPlay (sampleRate, blockSize);
    process ("first block after preparing", everyParameter);
    processQuietBlocks ("without a play head", 100);

    configure (*processor, GetParam());
    processQuietBlocks ("after the settings changed", 5);

    processor->setPlayHead (&playHead);
    int wholeTempo = 120;
    for (double bpm : { 120.0, 120.4, 87.0, 174.9, 60.0, 0.5 })
    {
        playHead.bpm = bpm;
        const auto when = "tempo " + std::to_string (bpm);
        process (when, (int) bpm != wholeTempo ? tapTimes : nothing);
        wholeTempo = (int) bpm;
        processQuietBlocks (when, 20);
    }

    juce::MemoryBlock state;
    processor->getStateInformation (state);
    processor->setStateInformation (state.getData(), (int) state.getSize());
    process ("first block after a restore", everyParameter);
    processQuietBlocks ("after a restore", 5);

    processor->prepareToPlay (sampleRate / 2.0, blockSize);
    process ("first block at a new sample rate", everyParameter);
    processQuietBlocks ("at a new sample rate", 5);

    // A link copy: the twin's new value goes to the host with the next block.
    parameters[linkMode]->setValue (1.0f);
    process ("link mode on", nothing);
    const float copied = parameters[l2Time + channelOffset]->getValue() == 0.25f ? 0.75f : 0.25f;
    parameters[l2Time]->setValue (copied);
    EXPECT_TRUE (pumpUntil ([&] { return parameters[l2Time + channelOffset]->getValue() == copied; }));
    process ("first block after a link copy", { l2Time + channelOffset });
    processQuietBlocks ("after a link copy", 5);
    processor->setPlayHead (nullptr);
}

INSTANTIATE_TEST_SUITE_P (BenchmarkedSettings, RealtimeSafety,
                          ::testing::Values (Setting::defaults, Setting::everyTapModulated, Setting::loop,
                                             Setting::everyTapSyncedToTheTempo));
