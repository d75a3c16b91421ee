#pragma once

#include "Biquad.h"
#include "DampingFilter.h"
#include "DelayChannel.h"
#include "KT_QuadratureOsc.h"
#include "TimeSmoother.h"

/** The delay effect's signal path: two 5.1 s lines with three output taps and a feedback tap each,
    an LFO per line on its tap times, damped Normal or Cross feedback, drive and cut filters on the
    input, loop playback of the frozen lines, and the dry/wet mix. It knows nothing of hosts or
    parameters: the processor fills the working values once per block. */
class DelayEngine
{
public:
    DelayEngine();

    /** Sizes and clears both lines for a sample rate and restarts the time glides from 0 ms.
        The only place where the engine allocates. */
    void prepare (double newSampleRate);

    /** Processes a block in place. left and right may be the same channel, in which case both lines
        take that channel as input and the right result is what remains. */
    void process (float* left, float* right, int numSamples, float dry, float wet) noexcept;

    /** Puts a finite value in place of any value that is not finite in the lines' samples written by the
        block just processed and in every filter, glide and oscillator state, so that a bad value never
        outlives the block in which it appeared. Called after each block; it neither allocates nor locks. */
    void replaceNonFiniteState (int numSamplesJustProcessed) noexcept;

    double sampleRate = 44100.0;
    DelayChannel channel[2];
    TimeSmoother timeSmoother[2][4];
    float tapTimeMs[2][3] {};
    float feedbackTimeMs[2] {};
    float feedbackAmount[2] {};
    float tapGain[2][3] { { 1.0f, 1.0f, 1.0f }, { 1.0f, 1.0f, 1.0f } };
    float tapPanLeft[2][3] {};
    float tapPanRight[2][3] {};
    float feedbackTapGain[2] { 1.0f, 0.0f };
    bool crossFeedback[2] { false, false };
    bool loopActive[2] { false, false };
    bool loopReverse = false;
    float loopSpeed = 1.0f;
    /** Loop window as fractions of the line. It always spans the whole line, which the loop reads rely on. */
    float loopStart = 0.0f;
    float loopEnd = 1.0f;
    corvantis::KT_QuadratureOsc lfo[2];
    int lfoShape[2] { 0, 0 };
    float modDepth[2][4] {};
    float drive = 0.0f;
    /** Linear gain of the signal entering the drive stage (the Input level). */
    float inputGain = 1.0f;
    Biquad highCut[2];
    Biquad lowCut[2];
    DampingFilter lowDamp[2];
    DampingFilter highDamp[2];

    /** Whether the samples run through the AVX2 build of the same arithmetic, which gives the very
        same output with fewer instructions. Set at construction when the processor has AVX2. */
    bool useWideInstructions = false;

private:
    static constexpr int chunkSize = 64;

    void processChunkPlain (float* left, float* right, int numSamples, float dry, float wet) noexcept;
    void processChunkWide (float* left, float* right, int numSamples, float dry, float wet) noexcept;
    void runChunk (float* left, float* right, int numSamples, float dry, float wet) noexcept;
    void driveInput (const float* left, const float* right, int numSamples) noexcept;

    template <bool loopL, bool loopR>
    void processChunk (float* left, float* right, int numSamples, float dry, float wet) noexcept;

    // The current chunk's input after the drive, both channels side by side, on its way to the cut filters.
    double2 drivenInput[chunkSize] {};

    // Where the current chunk reads and writes: its tap times and line positions do not depend on
    // the audio, so they are worked out for the whole chunk before the samples flow.
    DelayChannel::ReadPoints readPoints[2][chunkSize] {};
    int writePositions[2][chunkSize] {};

    // Per line and eight samples, the lanes whose read indices follow one another (all bits set).
    int8 runs[2][chunkSize / 8] {};
};
