#include "BrindlexAudioProcessor.h"
#include <cmath>

namespace
{
    /** Linear gain of a level in dB; the floor of the level range is silence. */
    inline float levelGain (float dB) noexcept
    {
        return dB <= -60.0f ? 0.0f : std::pow (10.0f, dB * 0.05f);
    }

    /** Division chosen by a time or rate control: its clamped value spread over all the divisions. */
    inline int divisionFor (float clamped) noexcept
    {
        return (int) ((float) ParameterTable::lastDivision * clamped);
    }

    /** A percentage as a fraction (the modulation depths). */
    constexpr float perPercent = 0.01f;

    /** Largest feedback amount and damping coefficient: a loop gain of 1 would never decay. */
    constexpr float feedbackCeiling = 0.98f;
}

void BrindlexAudioProcessor::updateDspFromParameters()
{
    // Besides the parameters, the update reads the tempo and the engine's sample rate (the time
    // signature plays no part): it runs again when any of them has changed since the last run. The
    // flag is cleared before the values are read, so a change made meanwhile is picked up next time.
    const auto bpm = hostBpm.load (std::memory_order_relaxed);
    const bool changed = parametersChanged.exchange (false, std::memory_order_relaxed);
    if (! changed && bpm == bpmOfLastUpdate && engine.sampleRate == sampleRateOfLastUpdate)
        return;

    bpmOfLastUpdate = bpm;
    sampleRateOfLastUpdate = engine.sampleRate;

    using namespace ParameterTable;
    auto param = [this] (int index) { return paramTable[(size_t) index]; };
    auto isOn = [&param] (int index) { return param (index)->getValue() != 0.0f; };
    auto plain = [&param] (int index) { return param (index)->getPlainValue(); };
    // Values read as numbers go through the parameter's guard: a host can send anything, and one value
    // outside 0..1 (or not a number) would stay in the feedback paths for good.
    auto normalised = [&param] (int index) { return param (index)->getClampedValue(); };

    // Switches.
    const bool loop = isOn (ParameterTable::loopMode);
    linkMode.store (isOn (ParameterTable::linkMode), std::memory_order_relaxed);
    this->loopMode.store (loop, std::memory_order_relaxed);
    engine.loopActive[0] = loop;
    engine.loopActive[1] = loop;
    engine.loopReverse = isOn (ParameterTable::loopReverse) && loop;

    for (int ch = 0; ch < 2; ++ch)
    {
        const int offset = ch * channelOffset;
        for (int k = 0; k < 3; ++k)
            syncEnabled[(size_t) (ch * 4 + k)].store (isOn (l1Sync + offset + k * tapStride), std::memory_order_relaxed);
        syncEnabled[(size_t) (ch * 4 + 3)].store (isOn (lfbSync + offset), std::memory_order_relaxed);
        syncEnabled[(size_t) (8 + ch)].store (isOn (lModSync + offset), std::memory_order_relaxed);
    }

    for (int ch = 0; ch < 2; ++ch)
    {
        const int mode = feedbackModeChoice (ch);
        feedbackModeIndex[(size_t) ch].store (mode, std::memory_order_relaxed);
        engine.crossFeedback[ch] = mode == 1;
    }

    // Cut filters, designed in double at the engine's rate.
    const double lowCutFrequency = (double) plain (lfCut) / engine.sampleRate;
    const double highCutFrequency = (double) plain (hfCut) / engine.sampleRate;
    for (int ch = 0; ch < 2; ++ch)
    {
        engine.lowCut[ch].setCoefficients (Biquad::highPass, lowCutFrequency);
        engine.highCut[ch].setCoefficients (Biquad::lowPass, highCutFrequency);
    }

    const float msPerBeat = (float) (60.0 / (double) (float) bpm * 1000.0);

    auto syncedOrPlain = [this, msPerBeat] (bool synced, int division, float plainMs)
    {
        return synced ? msPerBeat * syncDivisionBeats[(size_t) division] : plainMs;
    };

    // Time ranges, then the taps that read through them.
    for (int ch = 0; ch < 2; ++ch)
    {
        const int offset = ch * channelOffset;
        const int range = timeRangeChoice (ch);

        if (range != timeRangeIndex[(size_t) ch].load (std::memory_order_relaxed))
        {
            timeRangeIndex[(size_t) ch].store (range, std::memory_order_relaxed);
            setTimeRange (range, ch);
        }

        for (int k = 0; k < 3; ++k)
        {
            const int base = l1Time + offset + k * tapStride;
            const int slot = ch * 4 + k;
            plainTimeMs[ch][k] = plain (base);
            const int division = divisionFor (normalised (base));
            divisionIndex[(size_t) slot].store (division, std::memory_order_relaxed);
            engine.tapTimeMs[ch][k] = syncedOrPlain (syncEnabled[(size_t) slot].load (std::memory_order_relaxed),
                                                     division, plainTimeMs[ch][k]);
            engine.modDepth[ch][k] = plain (base + (l1Mod - l1Time)) * perPercent;

            // Equal-power law: fully left (0) to fully right (2) spans a quarter turn.
            const float panPosition = normalised (base + (l1Pan - l1Time)) * 2.0f;
            const auto angle = (float) ((double) panPosition * juce::MathConstants<double>::pi * 0.25);
            engine.tapPanLeft[ch][k] = std::cos (angle);
            engine.tapPanRight[ch][k] = std::sin (angle);

            engine.tapGain[ch][k] = levelGain (plain (base + (l1Level - l1Time)));
        }
    }

    // Feedback taps, their amounts and damping.
    for (int ch = 0; ch < 2; ++ch)
    {
        const int offset = ch * channelOffset;
        const int slot = ch * 4 + 3;
        plainTimeMs[ch][3] = plain (lfbTime + offset);
        const int division = divisionFor (normalised (lfbTime + offset));
        divisionIndex[(size_t) slot].store (division, std::memory_order_relaxed);
        engine.feedbackTimeMs[ch] = syncedOrPlain (syncEnabled[(size_t) slot].load (std::memory_order_relaxed),
                                                   division, plainTimeMs[ch][3]);
        engine.modDepth[ch][3] = plain (lfbMod + offset) * perPercent;
        engine.feedbackTapGain[ch] = levelGain (plain (lfbLevel + offset));

        engine.feedbackAmount[ch] = normalised (lFeedback + offset) * feedbackCeiling;
        engine.lowDamp[ch].g = normalised (lfbLowDamp + offset) * feedbackCeiling;
        engine.highDamp[ch].g = (1.0f - normalised (lfbHiDamp + offset)) * feedbackCeiling;
    }

    // LFOs. A synced rate follows the tempo alone, like the tap times: the time signature plays no part.
    const float beatsPerSecond = (float) bpm / 60.0f;
    for (int ch = 0; ch < 2; ++ch)
    {
        const int offset = ch * channelOffset;
        const int shape = lfoShapeChoice (ch);
        lfoShapeIndex[(size_t) ch].store (shape, std::memory_order_relaxed);
        engine.lfoShape[ch] = shape;

        plainLfoRateHz[ch] = plain (lModRate + offset);
        const int division = divisionFor (normalised (lModRate + offset));
        divisionIndex[(size_t) (8 + ch)].store (division, std::memory_order_relaxed);

        const float rate = syncEnabled[(size_t) (8 + ch)].load (std::memory_order_relaxed)
                               ? beatsPerSecond / syncDivisionBeats[(size_t) division]
                               : plainLfoRateHz[ch];
        engine.lfo[ch].setRate (rate);
    }

    engine.drive = normalised (ParameterTable::drive);
    engine.loopSpeed = loop ? 2.0f * normalised (ParameterTable::loopSpeed) : 1.0f;
    engine.inputGain = levelGain (plain (input));
}

// A time range and an LFO shape are the whole part of the plain value; a feedback mode is cross (1) for any value
// but 0.
int BrindlexAudioProcessor::timeRangeChoice (int channel) const noexcept
{
    return (int) paramTable[(size_t) (ParameterTable::lTimeRange + channel * ParameterTable::channelOffset)]->getPlainValue();
}

int BrindlexAudioProcessor::feedbackModeChoice (int channel) const noexcept
{
    return paramTable[(size_t) (ParameterTable::lfbMode + channel * ParameterTable::channelOffset)]->getValue() != 0.0f ? 1 : 0;
}

int BrindlexAudioProcessor::lfoShapeChoice (int channel) const noexcept
{
    return (int) paramTable[(size_t) (ParameterTable::lModShape + channel * ParameterTable::channelOffset)]->getPlainValue();
}

void BrindlexAudioProcessor::setTimeRange (int rangeIndex, int channel)
{
    if (rangeIndex < 0 || rangeIndex >= ParameterTable::numTimeRanges)
        return;

    const auto r = (size_t) rangeIndex;

    for (int k = 0; k < 3; ++k)
    {
        auto* time = paramTable[(size_t) (ParameterTable::l1Time + channel * ParameterTable::channelOffset
                                          + k * ParameterTable::tapStride)];
        const float d = time->getDefaultValue();
        time->useTimeRange (rangeIndex, d * (ParameterTable::timeRangeEnds[r] - ParameterTable::shortestTapMs));
    }
}
