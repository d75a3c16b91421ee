#pragma once

#include <array>

/** The plug-in's vocabulary of controls: the 64 automatable parameters in host order, what each one
    shows and does, the tempo divisions, the tap-time ranges and the LFO shape names. */
namespace ParameterTable
{
    /** How a parameter shows its value and reads typed text. */
    enum class Display
    {
        number,       ///< integer part of the plain value and the unit: "-12 dB"
        timeRange,    ///< one of the time-range names
        tapTime,      ///< division name when synced, two decimals under the "5 ms" range, else as a number
        feedbackTime, ///< division name when synced, else as a number
        pan,          ///< "CENTER", "L 30 %" or "R 30 %"
        onOff,        ///< "Off" or "On"
        feedbackMode, ///< "Normal" or "Cross"
        lfoRate,      ///< division name when synced, else two decimals and the unit
        lfoShape      ///< the shape's name
    };

    struct ParameterInfo
    {
        const char* id;
        const char* name;
        float start;
        float end;
        float skew;
        const char* label;
        float defaultValue;
        Display display;
        /** 0 left, 1 right, -1 for the controls of the whole plug-in. */
        int channel;
        /** Slot of a time or rate in the processor's sync and division arrays, else -1. */
        int syncSlot;
        /** Host index of the other channel's parameter that Link Mode copies this one to, else -1. */
        int twin;
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

    extern const std::array<ParameterInfo, numParameters> parameters;

    /** Shortest and longest tap time in ms; every time range starts at the shortest. */
    constexpr float shortestTapMs = 0.1f;
    constexpr float longestTapMs = 5000.0f;

    constexpr int numDivisions = 29;
    /** A time or rate control spreads its normalised value over the divisions 0 to this one. */
    constexpr int lastDivision = numDivisions - 1;
    extern const char* const divisionList;
    extern const std::array<float, numDivisions> divisionBeats;

    constexpr int numTimeRanges = 7;
    extern const char* const timeRangeList;
    /** End of each tap-time range in ms. */
    extern const std::array<float, numTimeRanges> timeRangeEnds;

    constexpr int numShapes = 11;
    extern const std::array<const char*, numShapes> shapeNames;
}
