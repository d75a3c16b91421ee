#include "ParameterTable.h"

namespace ParameterTable
{
    // clang-format off
    const std::array<Spec, numParameters> parameters {{
        { "ILEVEL",  "Input",         -60.0f,  0.0f,     1.0f, "dB",  0.0f },
        { "LFCUT",   "LF Cut",         30.0f,  1000.0f,  1.0f, "Hz",  30.0f },
        { "HFCUT",   "HF Cut",       1000.0f,  16000.0f, 1.0f, "Hz",  16000.0f },
        { "LTRANGE", "L Time Range",    0.0f,  6.0f,     1.0f, "",    0.0f },
        { "L1TIME",  "L1 Tap Time",     0.1f,  5000.0f,  0.4f, "ms",  883.0f },
        { "L1SYNC",  "L1 Tap Sync",     0.0f,  1.0f,     1.0f, "",    0.0f },
        { "L1MOD",   "L1 Tap Mod",      0.0f,  100.0f,   1.0f, "%",   50.0f },
        { "L1PAN",   "L1 Tap Pan",   -100.0f,  100.0f,   1.0f, "%",  -100.0f },
        { "L1LEVEL", "L1 Tap Level",  -60.0f,  0.0f,     1.0f, "dB",  0.0f },
        { "L2TIME",  "L2 Tap Time",     0.1f,  5000.0f,  0.4f, "ms",  883.0f },
        { "L2SYNC",  "L2 Tap Sync",     0.0f,  1.0f,     1.0f, "",    0.0f },
        { "L2MOD",   "L2 Tap Mod",      0.0f,  100.0f,   1.0f, "%",   50.0f },
        { "L2PAN",   "L2 Tap Pan",   -100.0f,  100.0f,   1.0f, "%",  -100.0f },
        { "L2LEVEL", "L2 Tap Level",  -60.0f,  0.0f,     1.0f, "dB",  0.0f },
        { "L3TIME",  "L3 Tap Time",     0.1f,  5000.0f,  0.4f, "ms",  883.0f },
        { "L3SYNC",  "L3 Tap Sync",     0.0f,  1.0f,     1.0f, "",    0.0f },
        { "L3MOD",   "L3 Tap Mod",      0.0f,  100.0f,   1.0f, "%",   50.0f },
        { "L3PAN",   "L3 Tap Pan",   -100.0f,  100.0f,   1.0f, "%",  -100.0f },
        { "L3LEVEL", "L3 Tap Level",  -60.0f,  0.0f,     1.0f, "dB",  0.0f },
        { "LFMODE",  "LFB Tap Mode",    0.0f,  1.0f,     1.0f, "",    0.0f },
        { "LFTIME",  "LFB Tap Time",    0.1f,  5000.0f,  0.4f, "ms",  883.0f },
        { "LFSYNC",  "LFB Tap Sync",    0.0f,  1.0f,     1.0f, "",    0.0f },
        { "LFMOD",   "LFB Tap Mod",     0.0f,  100.0f,   1.0f, "%",   50.0f },
        { "LFLEVEL", "LFB Tap Level", -60.0f,  0.0f,     1.0f, "dB",  0.0f },
        { "LFBK",    "L Feedback",      0.0f,  100.0f,   1.0f, "%",   50.0f },
        { "LFLDAMP", "LFB Low Damp",    0.0f,  100.0f,   1.0f, "%",   50.0f },
        { "LFHDAMP", "LFB Hi Damp",     0.0f,  100.0f,   1.0f, "%",   50.0f },
        { "LMSHAPE", "LMOD Shape",      0.0f,  10.0f,    1.0f, "",    0.0f },
        { "LMRATE",  "LMOD Rate",       0.01f, 16.0f,    0.4f, "Hz",  0.01f },
        { "LMSYNC",  "LMOD Sync",       0.0f,  1.0f,     1.0f, "",    0.0f },
        { "RTRANGE", "R Time Range",    0.0f,  6.0f,     1.0f, "",    0.0f },
        { "R1TIME",  "R1 Tap Time",     0.1f,  5000.0f,  0.4f, "ms",  883.0f },
        { "R1SYNC",  "R1 Tap Sync",     0.0f,  1.0f,     1.0f, "",    0.0f },
        { "R1MOD",   "R1 Tap Mod",      0.0f,  100.0f,   1.0f, "%",   50.0f },
        { "R1PAN",   "R1 Tap Pan",   -100.0f,  100.0f,   1.0f, "%",   100.0f },
        { "R1LEVEL", "R1 Tap Level",  -60.0f,  0.0f,     1.0f, "dB",  0.0f },
        { "R2TIME",  "R2 Tap Time",     0.1f,  5000.0f,  0.4f, "ms",  883.0f },
        { "R2SYNC",  "R2 Tap Sync",     0.0f,  1.0f,     1.0f, "",    0.0f },
        { "R2MOD",   "R2 Tap Mod",      0.0f,  100.0f,   1.0f, "%",   50.0f },
        { "R2PAN",   "R2 Tap Pan",   -100.0f,  100.0f,   1.0f, "%",   100.0f },
        { "R2LEVEL", "R2 Tap Level",  -60.0f,  0.0f,     1.0f, "dB",  0.0f },
        { "R3TIME",  "R3 Tap Time",     0.1f,  5000.0f,  0.4f, "ms",  883.0f },
        { "R3SYNC",  "R3 Tap Sync",     0.0f,  1.0f,     1.0f, "",    0.0f },
        { "R3MOD",   "R3 Tap Mod",      0.0f,  100.0f,   1.0f, "%",   50.0f },
        { "R3PAN",   "R3 Tap Pan",   -100.0f,  100.0f,   1.0f, "%",   100.0f },
        { "R3LEVEL", "R3 Tap Level",  -60.0f,  0.0f,     1.0f, "dB",  0.0f },
        { "RFMODE",  "RFB Tap Mode",    0.0f,  1.0f,     1.0f, "",    0.0f },
        { "RFTIME",  "RFB Tap Time",    0.1f,  5000.0f,  0.4f, "ms",  883.0f },
        { "RFSYNC",  "RFB Tap Sync",    0.0f,  1.0f,     1.0f, "",    1.0f },
        { "RFMOD",   "RFB Tap Mod",     0.0f,  100.0f,   1.0f, "%",   50.0f },
        { "RFLEVEL", "RFB Tap Level", -60.0f,  0.0f,     1.0f, "dB",  0.0f },
        { "RFBK",    "R Feedback",      0.0f,  100.0f,   1.0f, "%",   50.0f },
        { "RFLDAMP", "RFB Low Damp",    0.0f,  100.0f,   1.0f, "%",   50.0f },
        { "RFHDAMP", "RFB Hi Damp",     0.0f,  100.0f,   1.0f, "%",   50.0f },
        { "RMSHAPE", "RMOD Shape",      0.0f,  10.0f,    1.0f, "",    0.0f },
        { "RMRATE",  "RMOD Rate",       0.01f, 16.0f,    0.4f, "Hz",  0.01f },
        { "RMSYNC",  "RMOD Sync",       0.0f,  1.0f,     1.0f, "",    0.0f },
        { "DRIVE",   "Drive",           0.0f,  100.0f,   1.0f, "%",   0.0f },
        { "DRY",     "Dry",             0.0f,  100.0f,   1.0f, "%",   100.0f },
        { "WET",     "Wet",             0.0f,  100.0f,   1.0f, "%",   50.0f },
        { "LINK",    "Link Mode",       0.0f,  1.0f,     1.0f, "",    0.0f },
        { "LOOP",    "Loop Mode",       0.0f,  1.0f,     1.0f, "",    0.0f },
        { "LPSPEED", "Loop Speed",      0.0f,  200.0f,   1.0f, "%",   100.0f },
        { "LPREV",   "Loop Reverse",    0.0f,  1.0f,     1.0f, "",    0.0f },
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
    const std::array<float, numTimeRanges> timeRangeEnds { 5000.0f, 5.0f, 25.0f, 100.0f, 500.0f, 1000.0f, 2500.0f };
    const std::array<float, numTimeRanges> timeRangeRescale { 4999.9f, 4.9f, 24.9f, 99.9f, 499.9f, 999.9f, 2499.9f };

    const std::array<const char*, numShapes> shapeNames {
        "Sine", "Cosine", "Triangle", "Saw", "Ramp Down", "Square",
        "Smooth Square", "Blip Down", "Blip Up", "Random", "Smooth Random"
    };
}
