#include <gtest/gtest.h>
#include "processor/BrindlexAudioProcessor.h"
#include "TestSupport.h"
#include <cmath>

using namespace ParameterTable;

namespace
{
    void setPlain (BrindlexAudioProcessor& p, int index, float plain)
    {
        auto* parameter = p.getParameterAt (index);
        parameter->setValue (parameter->getRange().convertTo0to1 (plain));
    }

    void setNormalised (BrindlexAudioProcessor& p, int index, float value)
    {
        p.getParameterAt (index)->setValue (value);
    }

    /** Full time range: 0.1 to 5000 ms with skew 0.4. */
    float fullRangeTime (float normalised)
    {
        return 0.1f + 4999.9f * std::pow (normalised, 1.0f / 0.4f);
    }

    /** A prepared processor at 48 kHz, as a host leaves it before the first block. */
    struct Prepared
    {
        Prepared() { p->prepareToPlay (48000.0, 512); }
        TestProcessor p;
    };
}

TEST (WorkingValues, SyncedTapTimesFollowTheTempo)
{
    Prepared rig;
    auto& p = *rig.p;
    setNormalised (p, l1Sync, 1.0f);
    setNormalised (p, l1Time, 0.4f);
    p.hostBpm = 120;
    p.updateDspFromParameters();

    EXPECT_TRUE (p.syncEnabled[0].load());
    EXPECT_EQ (p.divisionIndex[0].load(), 11);
    EXPECT_FLOAT_EQ (p.engine.tapTimeMs[0][0], 500.0f);

    // "1/1t" is 1.666 beats.
    setNormalised (p, l1Time, 23.5f / 28.0f);
    p.updateDspFromParameters();
    EXPECT_EQ (p.divisionIndex[0].load(), 23);
    EXPECT_NEAR (p.engine.tapTimeMs[0][0], 833.0f, 0.001f);

    // Sync off: the same control is a free time in the current range.
    setNormalised (p, l1Sync, 0.0f);
    setNormalised (p, l1Time, 0.4f);
    p.updateDspFromParameters();
    EXPECT_NEAR (p.engine.tapTimeMs[0][0], fullRangeTime (0.4f), 0.01f);
    EXPECT_EQ (p.plainTimeMs[0][0], p.engine.tapTimeMs[0][0]);

    // Division indices spread over the whole control and stay in the table.
    for (auto [v, index] : { std::pair<float, int> { 0.0f, 0 }, { 0.5f, 14 }, { 1.0f, 28 }, { 1.7f, 28 }, { -0.2f, 0 } })
    {
        setNormalised (p, r1Time + tapStride, v);
        p.updateDspFromParameters();
        EXPECT_EQ (p.divisionIndex[5].load(), index) << v;
    }
}

TEST (WorkingValues, TempoBelowOneBeatPerMinuteGivesEndlessSyncedTimes)
{
    Prepared rig;
    auto& p = *rig.p;
    setNormalised (p, l1Sync + tapStride, 1.0f);
    setNormalised (p, lModSync, 1.0f);
    p.hostBpm = 0;
    p.updateDspFromParameters();
    EXPECT_TRUE (std::isinf (p.engine.tapTimeMs[0][1]));
    EXPECT_EQ (p.engine.lfo[0].rate, 0.0f);
}

TEST (WorkingValues, LevelsBecomeLinearGainsWithASilentFloor)
{
    Prepared rig;
    auto& p = *rig.p;
    setPlain (p, l1Level, -60.0f);
    setPlain (p, l1Level + tapStride, 0.0f);
    setPlain (p, l1Level + 2 * tapStride, -6.0f);
    setPlain (p, rfbLevel, -60.0f);
    setPlain (p, lfbLevel, -20.0f);
    p.updateDspFromParameters();

    EXPECT_EQ (p.engine.tapGain[0][0], 0.0f);
    EXPECT_EQ (p.engine.tapGain[0][1], 1.0f);
    EXPECT_NEAR (p.engine.tapGain[0][2], 0.501187f, 1e-5f);
    EXPECT_EQ (p.engine.feedbackTapGain[1], 0.0f);
    EXPECT_NEAR (p.engine.feedbackTapGain[0], 0.1f, 1e-6f);
}

TEST (WorkingValues, InputLevelScalesTheDriveStage)
{
    Prepared rig;
    auto& p = *rig.p;
    EXPECT_EQ (p.engine.inputGain, 1.0f);
    setPlain (p, input, -60.0f);
    p.updateDspFromParameters();
    EXPECT_EQ (p.engine.inputGain, 0.0f);
    setPlain (p, input, -6.0f);
    p.updateDspFromParameters();
    EXPECT_NEAR (p.engine.inputGain, 0.501187f, 1e-5f);
}

TEST (WorkingValues, FeedbackAndDampingStopShortOfOne)
{
    Prepared rig;
    auto& p = *rig.p;
    setNormalised (p, lFeedback, 1.0f);
    setNormalised (p, lfbHiDamp, 1.0f);
    setNormalised (p, lfbLowDamp, 1.0f);
    setNormalised (p, rFeedback, 0.25f);
    setNormalised (p, rfbHiDamp, 0.0f);
    setNormalised (p, rfbLowDamp, 0.0f);
    p.updateDspFromParameters();

    EXPECT_FLOAT_EQ (p.engine.feedbackAmount[0], 0.98f);
    EXPECT_EQ (p.engine.highDamp[0].g, 0.0f);
    EXPECT_FLOAT_EQ (p.engine.lowDamp[0].g, 0.98f);
    EXPECT_FLOAT_EQ (p.engine.feedbackAmount[1], 0.245f);
    EXPECT_FLOAT_EQ (p.engine.highDamp[1].g, 0.98f);
    EXPECT_EQ (p.engine.lowDamp[1].g, 0.0f);
}

TEST (WorkingValues, LoopSettingsOnlyCountInLoopMode)
{
    Prepared rig;
    auto& p = *rig.p;
    setNormalised (p, loopSpeed, 1.0f);
    setNormalised (p, loopReverse, 1.0f);
    p.updateDspFromParameters();
    EXPECT_FALSE (p.loopMode.load());
    EXPECT_EQ (p.engine.loopSpeed, 1.0f);
    EXPECT_FALSE (p.engine.loopReverse);
    EXPECT_FALSE (p.engine.loopActive[0]);

    setNormalised (p, ParameterTable::loopMode, 1.0f);
    p.updateDspFromParameters();
    EXPECT_TRUE (p.loopMode.load());
    EXPECT_EQ (p.engine.loopSpeed, 2.0f);
    EXPECT_TRUE (p.engine.loopReverse);
    EXPECT_TRUE (p.engine.loopActive[0]);
    EXPECT_TRUE (p.engine.loopActive[1]);

    setNormalised (p, loopSpeed, 0.5f);
    p.updateDspFromParameters();
    EXPECT_EQ (p.engine.loopSpeed, 1.0f);
}

TEST (WorkingValues, DefaultPansAreHardLeftAndHardRight)
{
    Prepared rig;
    auto& p = *rig.p;
    for (int k = 0; k < 3; ++k)
    {
        EXPECT_EQ (p.engine.tapPanLeft[0][k], 1.0f);
        EXPECT_EQ (p.engine.tapPanRight[0][k], 0.0f);
        EXPECT_NEAR (p.engine.tapPanLeft[1][k], 0.0f, 1e-7f);
        EXPECT_EQ (p.engine.tapPanRight[1][k], 1.0f);
    }

    setNormalised (p, r1Pan + tapStride, 0.5f);
    setNormalised (p, l1Pan, 0.25f);
    p.updateDspFromParameters();
    EXPECT_NEAR (p.engine.tapPanLeft[1][1], 0.70710678f, 1e-6f);
    EXPECT_NEAR (p.engine.tapPanRight[1][1], 0.70710678f, 1e-6f);
    EXPECT_NEAR (p.engine.tapPanLeft[0][0], std::cos (0.39269908f), 1e-6f);
    EXPECT_NEAR (p.engine.tapPanRight[0][0], std::sin (0.39269908f), 1e-6f);
}

TEST (WorkingValues, FeedbackModesAreSetPerChannel)
{
    Prepared rig;
    auto& p = *rig.p;
    setNormalised (p, rfbMode, 1.0f);
    p.updateDspFromParameters();
    EXPECT_TRUE (p.engine.crossFeedback[1]);
    EXPECT_FALSE (p.engine.crossFeedback[0]);
    EXPECT_EQ (p.feedbackModeIndex[1].load(), 1);
    EXPECT_EQ (p.feedbackModeIndex[0].load(), 0);

    // A NaN switch value counts as on.
    setNormalised (p, lfbMode, std::numeric_limits<float>::quiet_NaN());
    p.updateDspFromParameters();
    EXPECT_TRUE (p.engine.crossFeedback[0]);
}

TEST (WorkingValues, TimeRangeSwitchRescalesOnlyThatChannelsTapTimes)
{
    // Before the first update, so that the default is still the constructed 883 ms.
    TestProcessor rig;
    auto& p = *rig;
    setPlain (p, lTimeRange, 1.5f);
    setNormalised (p, l1Time, 0.5f);
    p.updateDspFromParameters();

    EXPECT_EQ (p.timeRangeIndex[0].load(), 1);
    auto* l1 = p.getParameterAt (l1Time);
    EXPECT_EQ (l1->getValue(), 0.5f);
    EXPECT_NEAR (p.plainTimeMs[0][0], 2.55f, 1e-5f);
    EXPECT_EQ (l1->getRange().end, 5.0f);
    EXPECT_EQ (l1->getRange().skew, 1.0f);
    const float oldDefault = std::pow ((883.0f - 0.1f) / 4999.9f, 0.4f);
    EXPECT_NEAR (oldDefault, 0.49978f, 1e-5f);
    EXPECT_NEAR (l1->getDefaultPlainValue(), oldDefault * 4.9f, 1e-4f);
    EXPECT_NEAR (p.getParameterAt (l3Time)->getDefaultPlainValue(), 2.449f, 1e-3f);
    EXPECT_EQ (l1->label, "ms");

    // The feedback tap and the right channel keep the full range.
    EXPECT_EQ (p.getParameterAt (lfbTime)->getRange().end, 5000.0f);
    EXPECT_EQ (p.getParameterAt (r1Time)->getRange().end, 5000.0f);
    EXPECT_EQ (p.getParameterAt (r1Time)->getDefaultPlainValue(), 883.0f);

    // An index outside the table changes nothing.
    p.setTimeRange (7, 0);
    p.setTimeRange (-1, 1);
    EXPECT_EQ (l1->getRange().end, 5.0f);
    EXPECT_EQ (p.getParameterAt (r1Time)->getRange().end, 5000.0f);
}

TEST (WorkingValues, FreshInstanceStartsWithRescaledLeftDefaults)
{
    Prepared rig;
    auto& p = *rig.p;

    // The first prepare pushed the defaults after its update; the first block's update reads them.
    p.updateDspFromParameters();
    for (int k = 0; k < 3; ++k)
    {
        EXPECT_NEAR (p.plainTimeMs[0][k], 2498.86f, 0.05f) << k;
        EXPECT_NEAR (p.plainTimeMs[1][k], 883.0f, 0.01f) << k;
    }
    EXPECT_NEAR (p.engine.feedbackTimeMs[0], 883.0f, 0.01f);

    // The right feedback tap is synced to "1/16": 150 ms at the constructor's 100 bpm.
    EXPECT_TRUE (p.syncEnabled[7].load());
    EXPECT_EQ (p.divisionIndex[7].load(), 13);
    EXPECT_FLOAT_EQ (p.engine.feedbackTimeMs[1], 150.0f);

    // Without a play head the first block stores 120 bpm, which the next block uses.
    juce::AudioBuffer<float> buffer (2, 256);
    juce::MidiBuffer midi;
    buffer.clear();
    p.processBlock (buffer, midi);
    EXPECT_FLOAT_EQ (p.engine.feedbackTimeMs[1], 150.0f);
    p.processBlock (buffer, midi);
    EXPECT_FLOAT_EQ (p.engine.feedbackTimeMs[1], 125.0f);
}

TEST (WorkingValues, SyncedLfoRatesIgnoreTheTimeSignature)
{
    Prepared rig;
    auto& p = *rig.p;
    setNormalised (p, lModSync, 1.0f);
    setNormalised (p, lModRate, 11.5f / 28.0f);
    setNormalised (p, rModSync, 1.0f);
    setNormalised (p, rModRate, 9.5f / 28.0f);
    p.hostBpm = 120;
    p.updateDspFromParameters();

    EXPECT_EQ (p.divisionIndex[8].load(), 11);
    EXPECT_EQ (p.divisionIndex[9].load(), 9);
    EXPECT_FLOAT_EQ (p.engine.lfo[0].rate, 2.0f);
    EXPECT_FLOAT_EQ (p.engine.lfo[1].rate, 0.5f);
    EXPECT_NEAR (p.engine.lfo[0].increment, 4096.0 * 2.0 / 48000.0, 1e-6);

    // In 3/4 a synced LFO keeps running at the same rate.
    p.timeSigNumerator = 3;
    p.timeSigDenominator = 4;
    p.updateDspFromParameters();
    EXPECT_FLOAT_EQ (p.engine.lfo[0].rate, 2.0f);
    EXPECT_GT (p.engine.lfo[0].increment, 0.0f);

    // Unsynced: the plain rate.
    setNormalised (p, lModSync, 0.0f);
    setPlain (p, lModRate, 3.0f);
    p.updateDspFromParameters();
    EXPECT_NEAR (p.engine.lfo[0].rate, 3.0f, 1e-4f);
    EXPECT_EQ (p.plainLfoRateHz[0], p.engine.lfo[0].rate);
}

TEST (WorkingValues, ShapesDepthsDriveAndCuts)
{
    Prepared rig;
    auto& p = *rig.p;
    setPlain (p, lModShape, 7.5f);
    setPlain (p, rModShape, 10.0f);
    setPlain (p, l1Mod + 2 * tapStride, 100.0f);
    setPlain (p, rfbMod, 20.0f);
    setNormalised (p, drive, 0.3f);
    setPlain (p, lfCut, 100.0f);
    setPlain (p, hfCut, 4000.0f);
    p.updateDspFromParameters();

    EXPECT_EQ (p.lfoShapeIndex[0].load(), 7);
    EXPECT_EQ (p.engine.lfoShape[0], 7);
    EXPECT_EQ (p.engine.lfoShape[1], 10);
    EXPECT_FLOAT_EQ (p.engine.modDepth[0][2], 1.0f);
    EXPECT_FLOAT_EQ (p.engine.modDepth[1][3], 0.2f);
    EXPECT_FLOAT_EQ (p.engine.modDepth[0][0], 0.5f);
    EXPECT_EQ (p.engine.drive, 0.3f);

    for (int ch = 0; ch < 2; ++ch)
    {
        EXPECT_EQ (p.engine.lowCut[ch].type, Biquad::highPass);
        EXPECT_NEAR (p.engine.lowCut[ch].frequency, 100.0 / 48000.0, 1e-9);
        EXPECT_EQ (p.engine.highCut[ch].type, Biquad::lowPass);
        EXPECT_NEAR (p.engine.highCut[ch].frequency, 4000.0 / 48000.0, 1e-9);
    }
}

TEST (WorkingValues, SkippedUpdateStillFollowsTempoAndPreparation)
{
    Prepared rig;
    auto& p = *rig.p;
    setNormalised (p, l1Sync, 1.0f);
    setNormalised (p, l1Time, 0.4f);
    setNormalised (p, lModSync, 1.0f);
    setNormalised (p, lModRate, 0.4f);
    p.hostBpm = 120;
    p.updateDspFromParameters();
    const float increment = p.engine.lfo[0].increment;

    // Only the tempo changes: the synced times still follow it.
    p.hostBpm = 60;
    p.updateDspFromParameters();
    EXPECT_FLOAT_EQ (p.engine.tapTimeMs[0][0], 1000.0f);

    // Preparing again at the same rate resets the oscillators; the next update restores the rate.
    p.hostBpm = 120;
    p.updateDspFromParameters();
    p.prepareToPlay (48000.0, 512);
    p.updateDspFromParameters();
    EXPECT_EQ (p.engine.lfo[0].increment, increment);
}
