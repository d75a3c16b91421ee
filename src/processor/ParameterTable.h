#pragma once

#include <array>

/** The plug-in's vocabulary of controls: the 64 automatable parameters in host order,
    the tempo divisions, the tap-time ranges and the LFO shape names. */
namespace ParameterTable
{
    struct Spec
    {
        const char* id;
        const char* name;
        float start;
        float end;
        float skew;
        const char* label;
        float defaultValue;
    };

    constexpr int numParameters = 64;

    /** Host indices of the parameters that other code addresses directly. */
    enum Index
    {
        input = 0, lfCut = 1, hfCut = 2,
        lTimeRange = 3, l1Time = 4, l1Sync = 5, l1Mod = 6, l1Pan = 7, l1Level = 8,
        l2Time = 9, l3Time = 14,
        lfbMode = 19, lfbTime = 20, lfbSync = 21, lfbMod = 22, lfbLevel = 23,
        lFeedback = 24, lfbLowDamp = 25, lfbHiDamp = 26,
        lModShape = 27, lModRate = 28, lModSync = 29,
        rTimeRange = 30, r1Time = 31, r1Sync = 32, r1Mod = 33, r1Pan = 34, r1Level = 35,
        rfbMode = 46, rfbTime = 47, rfbSync = 48, rfbMod = 49, rfbLevel = 50,
        rFeedback = 51, rfbLowDamp = 52, rfbHiDamp = 53,
        rModShape = 54, rModRate = 55, rModSync = 56,
        drive = 57, dry = 58, wet = 59, linkMode = 60, loopMode = 61, loopSpeed = 62, loopReverse = 63
    };

    /** Offset of a channel's block: the right channel (30..56) repeats the left one (3..29). */
    constexpr int channelOffset = rTimeRange - lTimeRange;
    /** Distance between taps 1, 2 and 3 of a channel. */
    constexpr int tapStride = l2Time - l1Time;

    extern const std::array<Spec, numParameters> parameters;

    constexpr int numDivisions = 29;
    extern const char* const divisionList;
    extern const std::array<float, numDivisions> divisionBeats;

    constexpr int numTimeRanges = 7;
    extern const char* const timeRangeList;
    /** End of each tap-time range in ms; every range starts at 0.1 ms. */
    extern const std::array<float, numTimeRanges> timeRangeEnds;
    /** Multiplier of a tap time's normalised default when its range changes (end minus 0.1). */
    extern const std::array<float, numTimeRanges> timeRangeRescale;

    constexpr int numShapes = 11;
    extern const std::array<const char*, numShapes> shapeNames;
}
