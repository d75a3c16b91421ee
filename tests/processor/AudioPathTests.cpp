#include <gtest/gtest.h>
#include "TestSupport.h"
#include <cmath>

using namespace ParameterTable;

namespace
{
    constexpr int blockSize = 512;

    /** Runs two signals through processBlock block by block; the outputs replace them. */
    void runThrough (BrindlexAudioProcessor& p, std::vector<float>& l, std::vector<float>& r)
    {
        juce::AudioBuffer<float> buffer (2, blockSize);
        juce::MidiBuffer midi;
        for (size_t start = 0; start < l.size(); start += blockSize)
        {
            const int n = (int) std::min<size_t> (blockSize, l.size() - start);
            buffer.setSize (2, n, false, false, true);
            buffer.copyFrom (0, 0, l.data() + start, n);
            buffer.copyFrom (1, 0, r.data() + start, n);
            p.processBlock (buffer, midi);
            std::copy (buffer.getReadPointer (0), buffer.getReadPointer (0) + n, l.data() + start);
            std::copy (buffer.getReadPointer (1), buffer.getReadPointer (1) + n, r.data() + start);
        }
    }

    /** A processor at 48 kHz with every tap and the feedback silent, dry off and wet full, so that one tap
        at a time can be switched on and read off the output. */
    struct AudioRig
    {
        explicit AudioRig (juce::AudioChannelSet input = juce::AudioChannelSet::stereo(),
                           juce::AudioChannelSet output = juce::AudioChannelSet::stereo())
        {
            EXPECT_TRUE (p->setBusesLayout ({ { input }, { output } }));
            p->prepareToPlay (48000.0, blockSize);
            for (int ch = 0; ch < 2; ++ch)
            {
                for (int k = 0; k < 3; ++k)
                    for (int control : { l1Level, l1Mod })
                        set (control + ch * channelOffset + k * tapStride, 0.0f);
                for (int control : { lfbLevel, lfbMod, lFeedback, lfbSync })
                    set (control + ch * channelOffset, 0.0f);
            }
            set (dry, 0.0f);
            set (wet, 1.0f);
        }

        void set (int index, float normalised) { p->getParameterAt (index)->setValue (normalised); }

        void run (std::vector<float>& l, std::vector<float>& r) { runThrough (*p, l, r); }

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

    /** First sample above a quarter of the peak: where a tap starts sounding through the cut filters. */
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

    float energy (const std::vector<float>& x, size_t from = 0, size_t to = SIZE_MAX)
    {
        float e = 0.0f;
        for (size_t i = from; i < std::min (to, x.size()); ++i)
            e += x[i] * x[i];
        return e;
    }
}

TEST (AudioPath, TapsSoundWhenTheirTimesSay)
{
    AudioRig free;
    free.set (l2Time - l1Time + l1Level, 1.0f);
    setPlainValue (*free.p, l2Time, 250.0f);
    free.impulse (14000);
    EXPECT_EQ (arrival (free.left), 12000);
    EXPECT_EQ (energy (free.right), 0.0f);

    // In the "5 ms" range the control's middle is 2.55 ms: 122.4 samples.
    AudioRig shortRange;
    setPlainValue (*shortRange.p, lTimeRange, 1.0f);
    shortRange.set (l1Level, 1.0f);
    shortRange.set (l1Time, 0.5f);
    shortRange.impulse (400);
    EXPECT_EQ (arrival (shortRange.left), 122);
}

TEST (AudioPath, PanSplitsATapWithCosineAndSineAndTheFloorIsSilence)
{
    AudioRig rig;
    rig.set (l1Level, 1.0f);
    setPlainValue (*rig.p, l1Time, 100.0f);
    rig.set (l1Pan, 0.25f);
    rig.impulse (6000);
    const double tangent = std::tan (0.25 * juce::MathConstants<double>::pi / 2.0);
    EXPECT_NEAR (energy (rig.right) / energy (rig.left), tangent * tangent, 1e-4);

    setPlainValue (*rig.p, l1Level, -60.0f);
    rig.impulse (6000, 0.9f);
    EXPECT_EQ (energy (rig.left) + energy (rig.right), 0.0f);
    setPlainValue (*rig.p, l1Level, -59.0f);
    rig.impulse (6000, 0.9f);
    EXPECT_GT (energy (rig.left), 0.0f);
}

TEST (AudioPath, FeedbackRepeatsDecayByItsAmountAndNeverGrow)
{
    AudioRig rig;
    rig.set (lfbLevel, 1.0f);
    setPlainValue (*rig.p, lfbTime, 50.0f);
    rig.set (lfbLowDamp, 0.0f);
    rig.set (lfbHiDamp, 0.0f);
    auto repeatPeaks = [&rig] (int count) {
        rig.impulse (2400 * (size_t) (count + 1), 0.5f);
        std::vector<float> peaks;
        for (size_t repeat = 1; repeat <= (size_t) count; ++repeat)
        {
            float peak = 0.0f;
            for (size_t i = repeat * 2400 - 1200; i < repeat * 2400 + 1200; ++i)
                peak = std::max (peak, std::abs (rig.left[i]));
            peaks.push_back (peak);
        }
        return peaks;
    };

    const auto single = repeatPeaks (3);
    EXPECT_LT (single[1], 1e-3f * single[0]) << "no feedback: one repeat only";

    rig.set (lFeedback, 1.0f);
    const auto peaks = repeatPeaks (120);
    for (size_t i = 1; i < peaks.size(); ++i)
        ASSERT_LE (peaks[i], peaks[i - 1] * 0.9801f) << i;
    EXPECT_GT (peaks.back(), 1e-4f);
}

TEST (AudioPath, FeedbackDampingAndLoopSettingsReachBothChannels)
{
    TestProcessor p;
    p->prepareToPlay (48000.0, blockSize);
    for (int ch = 0; ch < 2; ++ch)
        for (auto [index, v] : { std::pair { lFeedback, 0.5f }, { lfbLevel, 0.2f }, { lfbLowDamp, 1.0f }, { lfbHiDamp, 0.25f } })
            p->getParameterAt (index + ch * channelOffset)->setValue (v);
    p->getParameterAt (loopSpeed)->setValue (0.75f);
    p->getParameterAt (loopReverse)->setValue (1.0f);
    processSilence (*p);
    EXPECT_EQ (p->engine.loopSpeed, 1.0f) << "loop settings count in loop mode only";
    EXPECT_FALSE (p->engine.loopReverse);

    p->getParameterAt (loopMode)->setValue (1.0f);
    processSilence (*p);
    for (int ch = 0; ch < 2; ++ch)
    {
        EXPECT_FLOAT_EQ (p->engine.feedbackAmount[ch], 0.49f) << ch;
        EXPECT_FLOAT_EQ (p->engine.lowDamp[ch].g, 0.98f) << "full low damping stops short of one";
        EXPECT_FLOAT_EQ (p->engine.highDamp[ch].g, 0.735f) << "high damping counts down from one";
        EXPECT_TRUE (p->engine.loopActive[ch]) << ch;
    }
    EXPECT_EQ (p->engine.loopSpeed, 1.5f);
    EXPECT_TRUE (p->engine.loopReverse);

    // Bypassed, an output without an input is cleared, and a buffer narrower than the bus is left alone.
    juce::AudioBuffer<float> narrow (1, 64);
    narrow.setSample (0, 3, 0.5f);
    juce::MidiBuffer midi;
    p->processBlockBypassed (narrow, midi);
    EXPECT_EQ (narrow.getSample (0, 3), 0.5f);
}

TEST (AudioPath, MonoLayoutsCarryBothChannelsResults)
{
    // Mono in, stereo out: the same as a stereo input with the left signal on both sides.
    AudioRig mono (juce::AudioChannelSet::mono()), stereo;
    for (auto* rig : { &mono, &stereo })
        for (auto [index, v] : { std::pair { dry, 0.7f }, { l1Level, 1.0f }, { r1Level, 1.0f }, { rfbLevel, 1.0f }, { rFeedback, 0.6f } })
            rig->set (index, v);
    juce::Random random (5);
    std::vector<float> monoLeft (48000 * 2), monoRight (monoLeft.size());
    for (size_t i = 0; i < 24000; ++i)
        monoLeft[i] = random.nextFloat() * 2.0f - 1.0f;
    for (auto& v : monoRight)
        v = random.nextFloat();
    auto stereoLeft = monoLeft, stereoRight = monoLeft;
    mono.run (monoLeft, monoRight);
    stereo.run (stereoLeft, stereoRight);
    EXPECT_EQ (monoLeft, stereoLeft);
    EXPECT_EQ (monoRight, stereoRight);

    // Mono to mono: dry, the hard-left tap and the hard-right tap all end up in the one channel.
    AudioRig single (juce::AudioChannelSet::mono(), juce::AudioChannelSet::mono());
    single.set (dry, 1.0f);
    single.set (l1Level, 1.0f);
    setPlainValue (*single.p, l1Time, 10.0f);
    single.set (r1Level, 1.0f);
    setPlainValue (*single.p, r1Time, 20.0f);
    single.impulse (1200);
    EXPECT_FLOAT_EQ (single.left[0], 0.1f);
    EXPECT_GT (std::abs (single.left[481]), 0.03f);
    EXPECT_GT (std::abs (single.left[961]), 0.03f);
}

TEST (AudioPath, TempoFromThePlayHeadOrTheFallback)
{
    FixedPlayHead head;
    head.bpm = 119.0;
    TestProcessor p;
    p->prepareToPlay (48000.0, 64);
    processSilence (*p);
    EXPECT_EQ (p->hostBpm.load(), 120);
    EXPECT_EQ (p->timeSigNumerator.load(), 4);

    p->setPlayHead (&head);
    HostListener host (*p);
    processSilence (*p);
    EXPECT_EQ (p->timeSigDenominator.load(), 8);

    // A new whole tempo resends the eight tap times, a fraction of a beat more does not.
    const std::vector<int> times { l1Time, l2Time, l3Time, lfbTime, r1Time, r1Time + tapStride, r1Time + 2 * tapStride, rfbTime };
    for (auto [bpm, resent] : { std::pair { 120.0, true }, { 120.9, false }, { 121.2, true } })
    {
        host.received.clear();
        head.bpm = bpm;
        processSilence (*p);
        EXPECT_EQ (host.received.size(), resent ? times.size() : 0u) << bpm;
        for (size_t i = 0; i < host.received.size() && resent; ++i)
            EXPECT_EQ (host.received[i].first, times[i]) << bpm;
    }

    // Below 1 bpm synced times land on the longest time and synced LFOs stop.
    head.bpm = -30.0;
    p->getParameterAt (l1Sync)->setValue (1.0f);
    p->getParameterAt (lModSync)->setValue (1.0f);
    processSilence (*p);
    processSilence (*p);
    EXPECT_EQ (p->engine.lfo[0].increment, 0.0f);
    EXPECT_EQ (p->engine.timeSmoother[0][0].target, 5000.0f);
    p->setPlayHead (nullptr);
}

TEST (AudioPath, NonFiniteInputLeavesFiniteRepeatsThatDieAwayWithoutSubnormals)
{
    AudioRig rig;
    for (int ch = 0; ch < 2; ++ch)
        for (auto [index, v] : { std::pair { l1Level, 1.0f }, { lfbLevel, 1.0f }, { lFeedback, 0.8f }, { lfbTime, 0.05f }, { l1Time, 0.1f } })
            rig.set (index + ch * channelOffset, v);
    rig.set (dry, 1.0f);
    rig.set (drive, 0.6f);

    std::vector<float> l (48000 * 8), r (l.size());
    for (size_t i = 0; i < 4000; ++i)
        l[i] = r[i] = 0.5f * (float) std::sin ((double) i * 0.03);
    for (size_t i = 4000; i < 4512; ++i)
        l[i] = r[i] = i % 2 == 0 ? std::numeric_limits<float>::quiet_NaN() : -std::numeric_limits<float>::infinity();
    rig.run (l, r);

    for (size_t i = 4512; i < l.size(); ++i)
        for (float v : { l[i], r[i] })
            ASSERT_TRUE (std::isfinite (v) && std::fpclassify (v) != FP_SUBNORMAL) << i;
    EXPECT_GT (energy (l, 4512, 9000), 0.0f);
    EXPECT_EQ (energy (l, l.size() - 4800) + energy (r, r.size() - 4800), 0.0f) << "the repeats die away to silence";
}

TEST (AudioPath, InputLevelActsOnTheWetPathOnly)
{
    AudioRig rig;
    rig.set (dry, 1.0f);
    rig.set (l1Level, 1.0f);
    setPlainValue (*rig.p, l1Time, 10.0f);
    setPlainValue (*rig.p, input, -6.0206f);
    rig.impulse (1000, 0.01f);
    EXPECT_EQ (rig.left[0], 0.01f);
    const float half = energy (rig.left, 1);
    setPlainValue (*rig.p, input, 0.0f);
    rig.impulse (1000, 0.01f);
    EXPECT_NEAR (half / energy (rig.left, 1), 0.25f, 0.002f);
    setPlainValue (*rig.p, input, -60.0f);
    rig.impulse (1000, 0.01f);
    EXPECT_EQ (energy (rig.left, 1), 0.0f);
}

TEST (HostValues, NoValueAHostSendsSilencesTheDelayForGood)
{
    for (const int target : { lFeedback, rFeedback, drive, wet, lfbLowDamp, lfbHiDamp, l1Pan, loopSpeed })
    {
        for (const float bad : { std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), 1.5f })
        {
            TestProcessor p;
            p->prepareToPlay (48000.0, blockSize);
            const auto what = p->getParameterAt (target)->name + " = " + juce::String (bad);

            // A sine in, the wet signal out: its RMS, or -1 when any sample is not finite.
            double phase = 0.0;
            auto play = [&] (size_t numSamples)
            {
                std::vector<float> l (numSamples), r (numSamples);
                for (size_t i = 0; i < numSamples; ++i, phase += 0.05)
                    l[i] = r[i] = 0.5f * (float) std::sin (phase);
                runThrough (*p, l, r);
                const double sum = (double) energy (l) + energy (r);
                return std::isfinite (sum) ? std::sqrt (sum / (2.0 * (double) numSamples)) : -1.0;
            };

            // Feedback taps a few ms long, so that a runaway loop shows within a second.
            for (auto [index, v] : { std::pair { dry, 0.0f }, { lfbTime, 0.05f }, { rfbTime, 0.05f }, { rfbSync, 0.0f } })
                p->getParameterAt (index)->setValue (v);
            play (94 * blockSize);
            p->getParameterAt (loopMode)->setValue (target == loopSpeed ? 1.0f : 0.0f);

            const float normal = p->getParameterAt (target)->getValue();
            p->getParameterAt (target)->setValue (bad);
            EXPECT_GE (play (94 * blockSize), 0.0) << what << ": while it lasts";
            p->getParameterAt (target)->setValue (normal);
            play (blockSize);
            EXPECT_GT (play (blockSize), 0.01) << what << ": finite and audible again";
        }
    }
}
