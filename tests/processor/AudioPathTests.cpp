#include <gtest/gtest.h>
#include "processor/BrindlexAudioProcessor.h"
#include "TestSupport.h"
#include <cmath>

using namespace ParameterTable;

namespace
{
    constexpr int blockSize = 512;

    /** A play head that reports a fixed tempo and metre. */
    struct FixedPlayHead : juce::AudioPlayHead
    {
        juce::Optional<PositionInfo> getPosition() const override
        {
            PositionInfo info;
            info.setBpm (bpm);
            info.setTimeSignature (TimeSignature { numerator, denominator });
            return info;
        }

        double bpm = 120.0;
        int numerator = 4, denominator = 4;
    };

    /** A processor prepared at 48 kHz with every tap and the feedback silent, dry off and wet full,
        so that one tap at a time can be switched on and read off the output. */
    struct AudioRig
    {
        AudioRig()
        {
            p->prepareToPlay (48000.0, blockSize);
            for (int ch = 0; ch < 2; ++ch)
            {
                const int offset = ch * channelOffset;
                for (int k = 0; k < 3; ++k)
                {
                    setNormalised (l1Level + offset + k * tapStride, 0.0f);
                    setNormalised (l1Mod + offset + k * tapStride, 0.0f);
                }
                setNormalised (lfbLevel + offset, 0.0f);
                setNormalised (lfbMod + offset, 0.0f);
                setNormalised (lFeedback + offset, 0.0f);
            }
            setNormalised (dry, 0.0f);
            setNormalised (wet, 1.0f);
        }

        void setNormalised (int index, float value) { p->getParameterAt (index)->setValue (value); }

        void setPlain (int index, float plain)
        {
            auto* parameter = p->getParameterAt (index);
            parameter->setValue (parameter->getRange().convertTo0to1 (plain));
        }

        /** Runs the signals through processBlock in blocks of 512; the outputs replace them. */
        void run (std::vector<float>& l, std::vector<float>& r)
        {
            juce::AudioBuffer<float> buffer (2, blockSize);
            juce::MidiBuffer midi;
            for (size_t start = 0; start < l.size(); start += blockSize)
            {
                const int n = (int) std::min<size_t> (blockSize, l.size() - start);
                buffer.setSize (2, n, false, false, true);
                buffer.copyFrom (0, 0, l.data() + start, n);
                buffer.copyFrom (1, 0, r.data() + start, n);
                p->processBlock (buffer, midi);
                std::copy (buffer.getReadPointer (0), buffer.getReadPointer (0) + n, l.data() + start);
                std::copy (buffer.getReadPointer (1), buffer.getReadPointer (1) + n, r.data() + start);
            }
        }

        /** Lets the tap-time glides settle, then sends an impulse into the left input. */
        void impulse (size_t numSamples, float amplitude = 0.1f)
        {
            std::vector<float> l (36000), r (36000);
            run (l, r);
            left.assign (numSamples, 0.0f);
            right.assign (numSamples, 0.0f);
            left[0] = amplitude;
            run (left, right);
        }

        TestProcessor p;
        std::vector<float> left, right;
    };

    /** First sample above a quarter of the signal's peak: where a tap starts sounding through the cut filters. */
    int arrival (const std::vector<float>& x)
    {
        float peak = 0.0f;
        for (auto v : x)
            peak = std::max (peak, std::abs (v));
        for (size_t i = 0; i < x.size(); ++i)
            if (std::abs (x[i]) > 0.25f * peak)
                return (int) i;
        return -1;
    }

    float energy (const std::vector<float>& x)
    {
        float e = 0.0f;
        for (auto v : x)
            e += v * v;
        return e;
    }
}

TEST (AudioPath, SyncedQuarterAtOneHundredTwentyBpmIsHalfASecond)
{
    AudioRig rig;
    rig.setNormalised (l1Level, 1.0f);
    rig.setNormalised (l1Sync, 1.0f);
    rig.setNormalised (l1Time, 0.4f);
    rig.impulse (30000);

    EXPECT_EQ (rig.p->hostBpm.load(), 120);
    EXPECT_EQ (arrival (rig.left), 24000);
    EXPECT_EQ (energy (rig.right), 0.0f);
}

TEST (AudioPath, SyncedTripletWholeNoteIsEightHundredThirtyThreeMilliseconds)
{
    AudioRig rig;
    rig.setNormalised (l3Time + (l1Level - l1Time), 1.0f);
    rig.setNormalised (l3Time + (l1Sync - l1Time), 1.0f);
    rig.setNormalised (l3Time, 23.5f / 28.0f);
    rig.impulse (42000);

    // 833 ms is 39984 samples; the float glide settles a few hundredths of a millisecond short.
    EXPECT_NEAR (arrival (rig.left), 39984, 3);
    EXPECT_LE (arrival (rig.left), 39984);
}

TEST (AudioPath, FreeTimesLandWhereTheRangeMapsThem)
{
    AudioRig rig;
    rig.setNormalised (l1Level + tapStride, 1.0f);
    rig.setPlain (l1Time + tapStride, 250.0f);
    rig.impulse (14000);
    EXPECT_EQ (arrival (rig.left), 12000);

    // In the "5 ms" range the control's middle is 2.55 ms: 122.4 samples.
    AudioRig shortRange;
    shortRange.setPlain (lTimeRange, 1.5f);
    shortRange.setNormalised (l1Level, 1.0f);
    shortRange.setNormalised (l1Time, 0.5f);
    shortRange.impulse (400);
    EXPECT_EQ (arrival (shortRange.left), 122);
}

TEST (AudioPath, PansSplitATapWithCosineAndSine)
{
    AudioRig rig;
    rig.setNormalised (l1Level, 1.0f);
    rig.setPlain (l1Time, 100.0f);
    rig.setNormalised (l1Pan, 0.25f);
    rig.impulse (6000);

    const int at = arrival (rig.left);
    EXPECT_NEAR (at, 4800, 1);
    const double angle = 0.25 * 3.14159265358979 / 2.0;
    EXPECT_NEAR (rig.right[(size_t) at + 1] / rig.left[(size_t) at + 1], std::tan (angle), 1e-4);
    EXPECT_NEAR (energy (rig.right) / energy (rig.left), std::pow (std::tan (angle), 2.0), 1e-4);
}

TEST (AudioPath, SilentFloorSilencesATap)
{
    AudioRig rig;
    rig.setPlain (l1Level, -60.0f);
    rig.setPlain (r1Level + tapStride, -60.0f);
    rig.setPlain (lfbLevel, -60.0f);
    rig.impulse (48000, 0.9f);
    EXPECT_EQ (energy (rig.left), 0.0f);
    EXPECT_EQ (energy (rig.right), 0.0f);

    rig.setPlain (l1Level, -59.0f);
    rig.impulse (130000, 0.9f);
    EXPECT_GT (energy (rig.left), 0.0f);
}

TEST (AudioPath, FullFeedbackDecaysAndNeverGrows)
{
    AudioRig rig;
    rig.setNormalised (lfbLevel, 1.0f);
    rig.setPlain (lfbTime, 50.0f);
    rig.setNormalised (lFeedback, 1.0f);
    rig.setNormalised (lfbLowDamp, 0.0f);
    rig.setNormalised (lfbHiDamp, 0.0f);
    rig.impulse (2400 * 120, 0.5f);

    // Peak of each repeat (50 ms apart) never rises: the feedback amount (0.98) and the damping's
    // smoothing both take something away, and after six seconds the repeats are still there.
    std::vector<float> peaks;
    for (size_t repeat = 1; repeat < 120; ++repeat)
    {
        float peak = 0.0f;
        for (size_t i = repeat * 2400 - 1200; i < repeat * 2400 + 1200; ++i)
            peak = std::max (peak, std::abs (rig.left[i]));
        peaks.push_back (peak);
    }
    for (size_t i = 1; i < peaks.size(); ++i)
        ASSERT_LE (peaks[i], peaks[i - 1] * 0.9801f) << i;
    EXPECT_GT (peaks.back(), 1e-4f);
}

TEST (AudioPath, MonoInStereoOutProcessesACopyOfTheLeftInput)
{
    AudioRig mono;
    juce::AudioProcessor::BusesLayout layout;
    layout.inputBuses.add (juce::AudioChannelSet::mono());
    layout.outputBuses.add (juce::AudioChannelSet::stereo());
    ASSERT_TRUE (mono.p->setBusesLayout (layout));
    mono.p->prepareToPlay (48000.0, blockSize);
    AudioRig stereo;

    for (auto* rig : { &mono, &stereo })
    {
        rig->setNormalised (dry, 0.7f);
        rig->setNormalised (l1Level, 1.0f);
        rig->setNormalised (r1Level, 1.0f);
        rig->setNormalised (rfbLevel, 1.0f);
        rig->setNormalised (rFeedback, 0.6f);
    }

    juce::Random random (5);
    std::vector<float> l (48000 * 3), garbage (l.size()), monoOut, stereoLeft, stereoRight;
    for (size_t i = 0; i < l.size(); ++i)
    {
        l[i] = (random.nextFloat() * 2.0f - 1.0f) * (i < 24000 ? 1.0f : 0.0f);
        garbage[i] = random.nextFloat();
    }

    monoOut = l;
    auto monoRight = garbage;
    mono.run (monoOut, monoRight);
    stereoLeft = l;
    stereoRight = l;
    stereo.run (stereoLeft, stereoRight);

    EXPECT_EQ (monoOut, stereoLeft);
    EXPECT_EQ (monoRight, stereoRight);
    EXPECT_GT (energy (monoRight), 1.0f);
}

TEST (AudioPath, MonoToMonoLeavesTheRightResult)
{
    AudioRig rig;
    juce::AudioProcessor::BusesLayout layout;
    layout.inputBuses.add (juce::AudioChannelSet::mono());
    layout.outputBuses.add (juce::AudioChannelSet::mono());
    ASSERT_TRUE (rig.p->setBusesLayout (layout));
    rig.p->prepareToPlay (48000.0, blockSize);
    rig.setNormalised (dry, 1.0f);
    rig.setNormalised (l1Level, 1.0f);
    rig.setPlain (l1Time, 10.0f);
    rig.setNormalised (r1Level, 1.0f);
    rig.setPlain (r1Time, 20.0f);

    juce::AudioBuffer<float> buffer (1, 1024);
    juce::MidiBuffer midi;
    for (int i = 0; i < 40; ++i)
    {
        buffer.clear();
        rig.p->processBlock (buffer, midi);
    }
    buffer.clear();
    buffer.setSample (0, 0, 0.1f);
    rig.p->processBlock (buffer, midi);

    // Dry, the left tap (hard left) and the right tap (hard right) all end up in the one channel.
    EXPECT_FLOAT_EQ (buffer.getSample (0, 0), 0.1f);
    EXPECT_GT (std::abs (buffer.getSample (0, 481)), 0.03f);
    EXPECT_GT (std::abs (buffer.getSample (0, 961)), 0.03f);
    EXPECT_LT (std::abs (buffer.getSample (0, 700)), 1e-3f);
}

TEST (AudioPath, PlayHeadTempoOrTheFallback)
{
    AudioRig rig;
    juce::AudioBuffer<float> buffer (2, 64);
    juce::MidiBuffer midi;
    buffer.clear();
    rig.p->processBlock (buffer, midi);
    EXPECT_EQ (rig.p->hostBpm.load(), 120);
    EXPECT_EQ (rig.p->timeSigNumerator.load(), 4);
    EXPECT_EQ (rig.p->timeSigDenominator.load(), 4);

    FixedPlayHead head;
    head.bpm = 93.7;
    head.numerator = 7;
    head.denominator = 8;
    rig.p->setPlayHead (&head);
    rig.p->processBlock (buffer, midi);
    EXPECT_EQ (rig.p->hostBpm.load(), 93);
    EXPECT_EQ (rig.p->timeSigNumerator.load(), 7);
    EXPECT_EQ (rig.p->timeSigDenominator.load(), 8);

    // A negative tempo counts as below 1 bpm: synced times land on the longest time, synced LFOs stop.
    head.bpm = -30.0;
    rig.setNormalised (l1Sync, 1.0f);
    rig.setNormalised (lModSync, 1.0f);
    rig.p->processBlock (buffer, midi);
    rig.p->processBlock (buffer, midi);
    EXPECT_EQ (rig.p->hostBpm.load(), 0);
    EXPECT_EQ (rig.p->engine.lfo[0].increment, 0.0f);
    EXPECT_EQ (rig.p->engine.timeSmoother[0][0].target, 5000.0f);
    rig.p->setPlayHead (nullptr);
}

TEST (AudioPath, NewWholeTempoResendsTheEightTimes)
{
    AudioRig rig;
    FixedPlayHead head;
    rig.p->setPlayHead (&head);

    struct Counter : juce::AudioProcessorParameter::Listener
    {
        void parameterValueChanged (int index, float) override { indices.push_back (index); }
        void parameterGestureChanged (int, bool) override {}
        std::vector<int> indices;
    } counter;
    for (auto* parameter : rig.p->getParameters())
        parameter->addListener (&counter);

    juce::AudioBuffer<float> buffer (2, 64);
    juce::MidiBuffer midi;
    buffer.clear();
    head.bpm = 119.0;
    rig.p->processBlock (buffer, midi);
    counter.indices.clear();

    head.bpm = 120.0;
    rig.p->processBlock (buffer, midi);
    const std::vector<int> times { l1Time, l2Time, l3Time, lfbTime, r1Time, r1Time + tapStride, r1Time + 2 * tapStride, rfbTime };
    EXPECT_EQ (counter.indices, times);

    counter.indices.clear();
    rig.p->processBlock (buffer, midi);
    head.bpm = 120.9;
    rig.p->processBlock (buffer, midi);
    EXPECT_TRUE (counter.indices.empty());

    head.bpm = 121.2;
    rig.p->processBlock (buffer, midi);
    EXPECT_EQ (counter.indices, times);
    EXPECT_EQ (rig.p->lastPushedBpm, 121.0);

    for (auto* parameter : rig.p->getParameters())
        parameter->removeListener (&counter);
    rig.p->setPlayHead (nullptr);
}

TEST (AudioPath, NonFiniteInputLeavesAFiniteDecayingOutput)
{
    AudioRig rig;
    for (int ch = 0; ch < 2; ++ch)
    {
        rig.setNormalised (l1Level + ch * channelOffset, 1.0f);
        rig.setPlain (l1Time + ch * channelOffset, 30.0f);
        rig.setNormalised (lfbLevel + ch * channelOffset, 1.0f);
        rig.setPlain (lfbTime + ch * channelOffset, 40.0f);
        rig.setNormalised (lFeedback + ch * channelOffset, 0.8f);
        rig.setNormalised (rfbSync, 0.0f);
    }
    rig.setNormalised (dry, 1.0f);
    rig.setNormalised (drive, 0.6f);

    std::vector<float> l (48000), r (48000);
    for (size_t i = 0; i < 4000; ++i)
        l[i] = r[i] = 0.5f * (float) std::sin ((double) i * 0.03);
    for (size_t i = 4000; i < 4512; ++i)
        l[i] = r[i] = i % 2 == 0 ? std::numeric_limits<float>::quiet_NaN() : -std::numeric_limits<float>::infinity();
    rig.run (l, r);

    for (size_t i = 4512; i < l.size(); ++i)
    {
        ASSERT_TRUE (std::isfinite (l[i]) && std::isfinite (r[i])) << i;
    }

    std::vector<float> tailL (48000 * 6), tailR (tailL.size());
    rig.run (tailL, tailR);
    for (size_t i = 0; i < tailL.size(); ++i)
        ASSERT_TRUE (std::isfinite (tailL[i]) && std::isfinite (tailR[i])) << i;
    EXPECT_GT (std::abs (tailL[100]) + std::abs (tailL[2000]), 0.0f);
    float last = 0.0f;
    for (size_t i = tailL.size() - 4800; i < tailL.size(); ++i)
        last = std::max ({ last, std::abs (tailL[i]), std::abs (tailR[i]) });
    EXPECT_LT (last, 1e-5f);
}

TEST (AudioPath, InputLevelActsOnTheWetPathOnly)
{
    AudioRig rig;
    rig.setNormalised (dry, 1.0f);
    rig.setNormalised (l1Level, 1.0f);
    rig.setPlain (l1Time, 10.0f);
    rig.setPlain (input, -60.0f);
    rig.impulse (1000, 0.5f);

    EXPECT_EQ (rig.left[0], 0.5f);
    for (size_t i = 1; i < rig.left.size(); ++i)
        ASSERT_EQ (rig.left[i], 0.0f) << i;

    AudioRig full;
    full.setNormalised (l1Level, 1.0f);
    full.setPlain (l1Time, 10.0f);
    full.impulse (1000, 0.01f);
    AudioRig half;
    half.setNormalised (l1Level, 1.0f);
    half.setPlain (l1Time, 10.0f);
    half.setPlain (input, -6.0206f);
    half.impulse (1000, 0.01f);
    EXPECT_NEAR (energy (half.left) / energy (full.left), 0.25f, 0.001f);
}

TEST (AudioPath, DecayingRepeatsNeverBecomeSubnormal)
{
    AudioRig rig;
    for (int ch = 0; ch < 2; ++ch)
    {
        rig.setNormalised (l1Level + ch * channelOffset, 1.0f);
        rig.setPlain (l1Time + ch * channelOffset, 20.0f);
        rig.setNormalised (lfbLevel + ch * channelOffset, 1.0f);
        rig.setPlain (lfbTime + ch * channelOffset, 15.0f);
        rig.setNormalised (lFeedback + ch * channelOffset, 0.7f);
        rig.setNormalised (lfbSync + ch * channelOffset, 0.0f);
    }
    rig.impulse (48000 * 20, 0.8f);

    size_t silent = 0;
    for (size_t i = 0; i < rig.left.size(); ++i)
    {
        ASSERT_NE (std::fpclassify (rig.left[i]), FP_SUBNORMAL) << i;
        ASSERT_NE (std::fpclassify (rig.right[i]), FP_SUBNORMAL) << i;
        if (rig.left[i] == 0.0f)
            ++silent;
    }
    // The repeats have died away to exact silence well before the end.
    EXPECT_GT (silent, rig.left.size() / 2);
}
