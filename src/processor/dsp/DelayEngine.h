#pragma once

/** The processor's DSP record. */
struct DelayEngine
{
    void prepare (double newSampleRate) { sampleRate = newSampleRate; }

    double sampleRate = 44100.0;
};
