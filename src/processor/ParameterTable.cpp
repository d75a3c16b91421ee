#include "ParameterTable.h"

namespace ParameterTable
{
    namespace
    {
        constexpr auto number = Display::number, timeRange = Display::timeRange, tapTime = Display::tapTime,
                       feedbackTime = Display::feedbackTime, pan = Display::pan, onOff = Display::onOff,
                       feedbackMode = Display::feedbackMode, lfoRate = Display::lfoRate, lfoShape = Display::lfoShape;
    }

    // Columns: id, name, range start, end and skew, unit, plain default, display, channel, sync slot, twin.
    // clang-format off
    const std::array<ParameterInfo, numParameters> parameters {{
        { "ILEVEL",  "Input",                -60.0f, 0.0f,          1.0f, "dB",     0.0f, number,       -1, -1, -1 },
        { "LFCUT",   "LF Cut",                30.0f, 1000.0f,       1.0f, "Hz",    30.0f, number,       -1, -1, -1 },
        { "HFCUT",   "HF Cut",              1000.0f, 16000.0f,      1.0f, "Hz", 16000.0f, number,       -1, -1, -1 },
        { "LTRANGE", "L Time Range",           0.0f, 6.0f,          1.0f, "",       0.0f, timeRange,     0, -1, 30 },
        { "L1TIME",  "L1 Tap Time",   shortestTapMs, longestTapMs,  0.4f, "ms",   883.0f, tapTime,       0,  0, 31 },
        { "L1SYNC",  "L1 Tap Sync",            0.0f, 1.0f,          1.0f, "",       0.0f, onOff,         0, -1, 32 },
        { "L1MOD",   "L1 Tap Mod",             0.0f, 100.0f,        1.0f, "%",     50.0f, number,        0, -1, 33 },
        { "L1PAN",   "L1 Tap Pan",          -100.0f, 100.0f,        1.0f, "%",   -100.0f, pan,           0, -1, -1 },
        { "L1LEVEL", "L1 Tap Level",         -60.0f, 0.0f,          1.0f, "dB",     0.0f, number,        0, -1, 35 },
        { "L2TIME",  "L2 Tap Time",   shortestTapMs, longestTapMs,  0.4f, "ms",   883.0f, tapTime,       0,  1, 36 },
        { "L2SYNC",  "L2 Tap Sync",            0.0f, 1.0f,          1.0f, "",       0.0f, onOff,         0, -1, 37 },
        { "L2MOD",   "L2 Tap Mod",             0.0f, 100.0f,        1.0f, "%",     50.0f, number,        0, -1, 38 },
        { "L2PAN",   "L2 Tap Pan",          -100.0f, 100.0f,        1.0f, "%",   -100.0f, pan,           0, -1, -1 },
        { "L2LEVEL", "L2 Tap Level",         -60.0f, 0.0f,          1.0f, "dB",     0.0f, number,        0, -1, 40 },
        { "L3TIME",  "L3 Tap Time",   shortestTapMs, longestTapMs,  0.4f, "ms",   883.0f, tapTime,       0,  2, 41 },
        { "L3SYNC",  "L3 Tap Sync",            0.0f, 1.0f,          1.0f, "",       0.0f, onOff,         0, -1, 42 },
        { "L3MOD",   "L3 Tap Mod",             0.0f, 100.0f,        1.0f, "%",     50.0f, number,        0, -1, 43 },
        { "L3PAN",   "L3 Tap Pan",          -100.0f, 100.0f,        1.0f, "%",   -100.0f, pan,           0, -1, -1 },
        { "L3LEVEL", "L3 Tap Level",         -60.0f, 0.0f,          1.0f, "dB",     0.0f, number,        0, -1, 45 },
        { "LFMODE",  "LFB Tap Mode",           0.0f, 1.0f,          1.0f, "",       0.0f, feedbackMode,  0, -1, 46 },
        { "LFTIME",  "LFB Tap Time",  shortestTapMs, longestTapMs,  0.4f, "ms",   883.0f, feedbackTime,  0,  3, 47 },
        { "LFSYNC",  "LFB Tap Sync",           0.0f, 1.0f,          1.0f, "",       0.0f, onOff,         0, -1, 48 },
        { "LFMOD",   "LFB Tap Mod",            0.0f, 100.0f,        1.0f, "%",     50.0f, number,        0, -1, 49 },
        { "LFLEVEL", "LFB Tap Level",        -60.0f, 0.0f,          1.0f, "dB",     0.0f, number,        0, -1, 50 },
        { "LFBK",    "L Feedback",             0.0f, 100.0f,        1.0f, "%",     50.0f, number,        0, -1, 51 },
        { "LFLDAMP", "LFB Low Damp",           0.0f, 100.0f,        1.0f, "%",     50.0f, number,        0, -1, 52 },
        { "LFHDAMP", "LFB Hi Damp",            0.0f, 100.0f,        1.0f, "%",     50.0f, number,        0, -1, 53 },
        { "LMSHAPE", "LMOD Shape",             0.0f, 10.0f,         1.0f, "",       0.0f, lfoShape,      0, -1, 54 },
        { "LMRATE",  "LMOD Rate",             0.01f, 16.0f,         0.4f, "Hz",    0.01f, lfoRate,       0,  8, 55 },
        { "LMSYNC",  "LMOD Sync",              0.0f, 1.0f,          1.0f, "",       0.0f, onOff,         0, -1, 56 },
        { "RTRANGE", "R Time Range",           0.0f, 6.0f,          1.0f, "",       0.0f, timeRange,     1, -1,  3 },
        { "R1TIME",  "R1 Tap Time",   shortestTapMs, longestTapMs,  0.4f, "ms",   883.0f, tapTime,       1,  4,  4 },
        { "R1SYNC",  "R1 Tap Sync",            0.0f, 1.0f,          1.0f, "",       0.0f, onOff,         1, -1,  5 },
        { "R1MOD",   "R1 Tap Mod",             0.0f, 100.0f,        1.0f, "%",     50.0f, number,        1, -1,  6 },
        { "R1PAN",   "R1 Tap Pan",          -100.0f, 100.0f,        1.0f, "%",    100.0f, pan,           1, -1, -1 },
        { "R1LEVEL", "R1 Tap Level",         -60.0f, 0.0f,          1.0f, "dB",     0.0f, number,        1, -1,  8 },
        { "R2TIME",  "R2 Tap Time",   shortestTapMs, longestTapMs,  0.4f, "ms",   883.0f, tapTime,       1,  5,  9 },
        { "R2SYNC",  "R2 Tap Sync",            0.0f, 1.0f,          1.0f, "",       0.0f, onOff,         1, -1, 10 },
        { "R2MOD",   "R2 Tap Mod",             0.0f, 100.0f,        1.0f, "%",     50.0f, number,        1, -1, 11 },
        { "R2PAN",   "R2 Tap Pan",          -100.0f, 100.0f,        1.0f, "%",    100.0f, pan,           1, -1, -1 },
        { "R2LEVEL", "R2 Tap Level",         -60.0f, 0.0f,          1.0f, "dB",     0.0f, number,        1, -1, 13 },
        { "R3TIME",  "R3 Tap Time",   shortestTapMs, longestTapMs,  0.4f, "ms",   883.0f, tapTime,       1,  6, 14 },
        { "R3SYNC",  "R3 Tap Sync",            0.0f, 1.0f,          1.0f, "",       0.0f, onOff,         1, -1, 15 },
        { "R3MOD",   "R3 Tap Mod",             0.0f, 100.0f,        1.0f, "%",     50.0f, number,        1, -1, 16 },
        { "R3PAN",   "R3 Tap Pan",          -100.0f, 100.0f,        1.0f, "%",    100.0f, pan,           1, -1, -1 },
        { "R3LEVEL", "R3 Tap Level",         -60.0f, 0.0f,          1.0f, "dB",     0.0f, number,        1, -1, 18 },
        { "RFMODE",  "RFB Tap Mode",           0.0f, 1.0f,          1.0f, "",       0.0f, feedbackMode,  1, -1, 19 },
        { "RFTIME",  "RFB Tap Time",  shortestTapMs, longestTapMs,  0.4f, "ms",   883.0f, feedbackTime,  1,  7, 20 },
        { "RFSYNC",  "RFB Tap Sync",           0.0f, 1.0f,          1.0f, "",       1.0f, onOff,         1, -1, 21 },
        { "RFMOD",   "RFB Tap Mod",            0.0f, 100.0f,        1.0f, "%",     50.0f, number,        1, -1, 22 },
        { "RFLEVEL", "RFB Tap Level",        -60.0f, 0.0f,          1.0f, "dB",     0.0f, number,        1, -1, 23 },
        { "RFBK",    "R Feedback",             0.0f, 100.0f,        1.0f, "%",     50.0f, number,        1, -1, 24 },
        { "RFLDAMP", "RFB Low Damp",           0.0f, 100.0f,        1.0f, "%",     50.0f, number,        1, -1, 25 },
        { "RFHDAMP", "RFB Hi Damp",            0.0f, 100.0f,        1.0f, "%",     50.0f, number,        1, -1, 26 },
        { "RMSHAPE", "RMOD Shape",             0.0f, 10.0f,         1.0f, "",       0.0f, lfoShape,      1, -1, 27 },
        { "RMRATE",  "RMOD Rate",             0.01f, 16.0f,         0.4f, "Hz",    0.01f, lfoRate,       1,  9, 28 },
        { "RMSYNC",  "RMOD Sync",              0.0f, 1.0f,          1.0f, "",       0.0f, onOff,         1, -1, 29 },
        { "DRIVE",   "Drive",                  0.0f, 100.0f,        1.0f, "%",      0.0f, number,       -1, -1, -1 },
        { "DRY",     "Dry",                    0.0f, 100.0f,        1.0f, "%",    100.0f, number,       -1, -1, -1 },
        { "WET",     "Wet",                    0.0f, 100.0f,        1.0f, "%",     50.0f, number,       -1, -1, -1 },
        { "LINK",    "Link Mode",              0.0f, 1.0f,          1.0f, "",       0.0f, onOff,        -1, -1, -1 },
        { "LOOP",    "Loop Mode",              0.0f, 1.0f,          1.0f, "",       0.0f, onOff,        -1, -1, -1 },
        { "LPSPEED", "Loop Speed",             0.0f, 200.0f,        1.0f, "%",    100.0f, number,       -1, -1, -1 },
        { "LPREV",   "Loop Reverse",           0.0f, 1.0f,          1.0f, "",       0.0f, number,       -1, -1, -1 },
    }};
    // clang-format on

    const char* const divisionList = "32x|16x|8x|7x|6x|5x|4x|3x|2x|1/1|1/2|1/4|1/8|1/16|1/32|1/64|1/96"
                                     "|1/1d|1/2d|1/4d|1/8d|1/16d|1/32d|1/1t|1/2t|1/4t|1/8t|1/16t|1/32t";

    const std::array<float, numDivisions> divisionBeats {
        128.0f, 64.0f, 32.0f, 28.0f, 24.0f, 20.0f, 16.0f, 12.0f, 8.0f, 4.0f,
        2.0f, 1.0f, 0.5f, 0.25f, 0.125f, 0.0625f, 0.041666f,
        6.0f, 3.0f, 1.5f, 0.75f, 0.375f, 0.1875f,
        1.666f, 1.333f, 0.666f, 0.333f, 0.1666f, 0.08333f
    };

    const char* const timeRangeList = "Full|5 ms|25 ms|100 ms|500 ms|1.0 s|2.5 s";
    const std::array<float, numTimeRanges> timeRangeEnds { longestTapMs, 5.0f, 25.0f, 100.0f, 500.0f, 1000.0f, 2500.0f };

    const std::array<const char*, numShapes> shapeNames {
        "Sine", "Cosine", "Triangle", "Saw", "Ramp Down", "Square",
        "Smooth Square", "Blip Down", "Blip Up", "Random", "Smooth Random"
    };
}
