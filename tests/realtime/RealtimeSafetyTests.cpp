#include <gtest/gtest.h>
#include "AudioThreadProbe.h"
#include "TestSupport.h"

using namespace ParameterTable;

// processBlock runs on the host's audio thread: it must neither allocate nor lock, whatever the
// settings, in loop mode, and while the host's tempo moves.
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

TEST_P (RealtimeSafety, ProcessBlockNeitherAllocatesNorLocks)
{
    TestProcessor processor;
    MovingTempoPlayHead playHead;
    processor->prepareToPlay (sampleRate, blockSize);

    juce::AudioBuffer<float> buffer (2, blockSize);
    juce::MidiBuffer midi;
    juce::Random random (7);
    const auto process = [&] (const char* when)
    {
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < blockSize; ++i)
                buffer.setSample (ch, i, random.nextFloat() * 2.0f - 1.0f);

        int allocatorCalls = 0, locksTaken = 0;
        {
            AudioThreadProbe probe;
            processor->processBlock (buffer, midi);
            allocatorCalls = probe.allocatorCalls();
            locksTaken = probe.locksTaken();
        }
        EXPECT_EQ (allocatorCalls, 0) << when;
        EXPECT_EQ (locksTaken, 0) << when;
    };

    // Lines filled without a play head first, as loop mode plays back what was recorded before it.
    for (int i = 0; i < 100; ++i)
        process ("without a play head");

    configure (*processor, GetParam());
    processor->setPlayHead (&playHead);
    for (double bpm : { 120.0, 120.4, 87.0, 174.9, 60.0, 0.5 })
    {
        playHead.bpm = bpm;
        for (int i = 0; i < 20; ++i)
            process ("with the play head's tempo moving");
    }
    processor->setPlayHead (nullptr);
}

INSTANTIATE_TEST_SUITE_P (BenchmarkedSettings, RealtimeSafety,
                          ::testing::Values (Setting::defaults, Setting::everyTapModulated, Setting::loop,
                                             Setting::everyTapSyncedToTheTempo));
