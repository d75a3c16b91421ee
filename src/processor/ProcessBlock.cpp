#include "BrindlexAudioProcessor.h"

void BrindlexAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    juce::ScopedNoDenormals noDenormals;

    const int numIn = getTotalNumInputChannels();
    const int numOut = getTotalNumOutputChannels();
    const int numSamples = buffer.getNumSamples();
    const int numChannels = buffer.getNumChannels();

    for (int ch = juce::jmin (numIn, 2); ch < juce::jmin (numOut, numChannels); ++ch)
        buffer.clear (ch, 0, numSamples);

    updateDspFromParameters();

    if (numChannels == 0)
        return;

    float* left = buffer.getWritePointer (0);
    float* right = left;

    if (numIn == 1 && numOut == 2 && numChannels >= 2)
    {
        if (numSamples > 0)
            buffer.copyFrom (1, 0, buffer, 0, 0, numSamples);
        right = buffer.getWritePointer (1);
    }
    else if (numIn == 2 && numOut == 2 && numChannels >= 2)
    {
        right = buffer.getWritePointer (1);
    }

    // The host's tempo and metre, or 120 bpm in 4/4 when it gives none.
    bool havePosition = false;
    if (auto* currentPlayHead = getPlayHead())
    {
        JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
        havePosition = currentPlayHead->getCurrentPosition (positionInfo);
        JUCE_END_IGNORE_WARNINGS_GCC_LIKE
    }

    if (! havePosition)
    {
        positionInfo.resetToDefault();
        positionInfo.bpm = 120.0;
        positionInfo.timeSigNumerator = 4;
        positionInfo.timeSigDenominator = 4;
    }

    // A negative tempo, or one the integer cannot hold, counts as none (below 1 bpm), never as
    // undefined behaviour or as a backwards-running LFO.
    const double hostTempo = positionInfo.bpm;
    hostBpm.store (hostTempo >= 0.0 && hostTempo < 1.0e6 ? (juce::int32) hostTempo : 0, std::memory_order_relaxed);
    timeSigNumerator.store (positionInfo.timeSigNumerator, std::memory_order_relaxed);
    timeSigDenominator.store (positionInfo.timeSigDenominator, std::memory_order_relaxed);

    // A new whole-number tempo changes the texts of synced times: the host hears the eight times again.
    const auto bpm = hostBpm.load (std::memory_order_relaxed);
    if (lastPushedBpm != (double) bpm)
    {
        static constexpr int timeParameters[] { ParameterTable::l1Time, ParameterTable::l2Time, ParameterTable::l3Time,
                                                ParameterTable::lfbTime, ParameterTable::r1Time,
                                                ParameterTable::r1Time + ParameterTable::tapStride,
                                                ParameterTable::r1Time + 2 * ParameterTable::tapStride,
                                                ParameterTable::rfbTime };
        for (auto index : timeParameters)
            announceLater (index);
        // The synced times follow the new tempo from the next block on.
        parametersChanged = true;
        lastPushedBpm = (double) bpm;
    }

    deliverAnnouncements();

    const float dry = paramTable[ParameterTable::dry]->getClampedValue();
    const float wet = paramTable[ParameterTable::wet]->getClampedValue();

    engine.process (left, right, numSamples, dry, wet);
    engine.replaceNonFiniteState (numSamples);
}
