#include "EditorControlTable.h"
#include "processor/ParameterTable.h"

namespace EditorControlTable
{
    using G = Group;
    using T = Tint;

    const std::array<SliderRow, numSlots> sliderRows { {
        { true,  G::input,      T::yellow,  "ILEVEL",  "Input Gain in dB", false },
        { true,  G::lfCut,      T::orange,  "LFCUT",   "Cuts the frequencies below the settings", false },
        { true,  G::hfCut,      T::red,     "HFCUT",   "Cuts the frequencies above the settings", false },
        { true,  G::dry,        T::crimson, "DRY",     "Dry signal amount", false },
        { true,  G::wet,        T::purple,  "WET",     "Wet signal amount", false },
        { true,  G::drive,      T::yellow,  "DRIVE",   "Saturation amount", false },
        { true,  G::speed,      T::tool,    "LPSPEED", "Looped signal playback speed", false },
        { false, G::leftTime,   T::yellow,  "L1TIME",  "[LEFT TAP 1] - Time in ms or beat", false },
        { false, G::rightTime,  T::yellow,  "R1TIME",  "[RIGHT TAP 1] - Time in ms", false },
        { false, G::leftTime,   T::orange,  "L2TIME",  "[LEFT TAP 2] - Time in ms or beat", false },
        { false, G::rightTime,  T::orange,  "R2TIME",  "[RIGHT TAP 2] - Time in ms", false },
        { false, G::leftTime,   T::red,     "L3TIME",  "[LEFT TAP 3] - Time in ms or beat", false },
        { false, G::rightTime,  T::red,     "R3TIME",  "[RIGHT TAP 3] - Time in ms", false },
        { false, G::leftMod,    T::yellow,  "L1MOD",   "[LEFT TAP 1] - Modulation Amount", false },
        { false, G::rightMod,   T::yellow,  "R1MOD",   "[RIGHT TAP 1] - Modulation Amount", false },
        { false, G::leftMod,    T::orange,  "L2MOD",   "[LEFT TAP 2] - Modulation Amount", false },
        { false, G::rightMod,   T::orange,  "R2MOD",   "[RIGHT TAP 2] - Modulation Amount", false },
        { false, G::leftMod,    T::red,     "L3MOD",   "[LEFT TAP 3] - Modulation Amount", false },
        { false, G::rightMod,   T::red,     "R3MOD",   "[RIGHT TAP 3] - Modulation Amount", false },
        { false, G::leftPan,    T::yellow,  "L1PAN",   "[LEFT TAP 1] - Pan Position. This will not be linked", true },
        { false, G::rightPan,   T::yellow,  "R1PAN",   "[RIGHT TAP 1] - Pan Position. This will not be linked", true },
        { false, G::leftPan,    T::orange,  "L2PAN",   "[LEFT TAP 2] - Pan Position. This will not be linked", true },
        { false, G::rightPan,   T::orange,  "R2PAN",   "[RIGHT TAP 2] - Pan Position. This will not be linked", true },
        { false, G::leftPan,    T::red,     "L3PAN",   "[LEFT TAP 3] - Pan Position. This will not be linked", true },
        { false, G::rightPan,   T::red,     "R3PAN",   "[RIGHT TAP 3] - Pan Position. This will not be linked", true },
        { false, G::leftLevel,  T::yellow,  "L1LEVEL", "[LEFT TAP 1] - Tap Gain in dB", false },
        { false, G::rightLevel, T::yellow,  "R1LEVEL", "[RIGHT TAP 1] - Tap Gain in dB", false },
        { false, G::leftLevel,  T::orange,  "L2LEVEL", "[LEFT TAP 2] - Tap Gain in dB", false },
        { false, G::rightLevel, T::orange,  "R2LEVEL", "[RIGHT TAP 2] - Tap Gain in dB", false },
        { false, G::leftLevel,  T::red,     "L3LEVEL", "[LEFT TAP 3] - Tap Gain in dB", false },
        { false, G::rightLevel, T::red,     "R3LEVEL", "[RIGHT TAP 3] - Tap Gain in dB", false },
        { false, G::fbkTime,    T::crimson, "LFTIME",  "[LEFT FBK TAP] - Time in ms", false },
        { false, G::fbkTime,    T::crimson, "RFTIME",  "[RIGHT FBK TAP] - Time in ms", false },
        { false, G::fbkMod,     T::crimson, "LFMOD",   "[LEFT FBK TAP] - Modulation Amount", false },
        { false, G::fbkMod,     T::crimson, "RFMOD",   "[RIGHT FBK TAP] - Modulation Amount", false },
        { false, G::fbkLevel,   T::crimson, "LFLEVEL", "[LEFT FBK TAP] - Tap Gain in dB (does NOT influence the feedback amount)", false },
        { false, G::fbkLevel,   T::crimson, "RFLEVEL", "[RIGHT FBK TAP] - Tap Gain in dB (does NOT influence the feedback amount)", false },
        { false, G::fbk,        T::crimson, "LFBK",    "[LEFT FBK TAP] - Feedback Amount", false },
        { false, G::fbk,        T::crimson, "RFBK",    "[RIGHT FBK TAP] - Feedback Amount", false },
        { false, G::hiDamp,     T::crimson, "LFHDAMP", "[LEFT FBK TAP] - High frequency range that will be attenuated at each feedback", false },
        { false, G::hiDamp,     T::crimson, "RFHDAMP", "[RIGHT FBK TAP] - High frequency range that will be attenuated at each feedback", false },
        { false, G::lowDamp,    T::crimson, "LFLDAMP", "[LEFT FBK TAP] - Low frequency range that will be attenuated at each feedback", false },
        { false, G::lowDamp,    T::crimson, "RFLDAMP", "[RIGHT FBK TAP] - Low frequency range that will be attenuated at each feedback", false },
        { false, G::rate,       T::purple,  "LMRATE",  "[LEFT LFO] - Rate in Hz or beat", false },
        { false, G::rate,       T::purple,  "RMRATE",  "[RIGHT LFO] - Rate in Hz or beat", false },
    } };

    const std::array<ToggleRow, numToggles> toggleRows { {
        { "time1LeftSyncButton",    T::yellow,  true,  0x266A, "L1SYNC", "[LEFT TAP 1] - Tempo Sync ON/OFF" },
        { "time2LeftSyncButton",    T::orange,  true,  0x266A, "L2SYNC", "[LEFT TAP 2] - Tempo Sync ON/OFF" },
        { "time3LeftSyncButton",    T::red,     true,  0x266A, "L3SYNC", "[LEFT TAP 3] - Tempo Sync ON/OFF" },
        { "fbkLeftSyncButton",      T::crimson, true,  0x266A, "LFSYNC", "[LEFT FBK TAP] - Tempo Sync ON/OFF" },
        { "time1RightSyncButton",   T::yellow,  true,  0x266A, "R1SYNC", "[RIGHT TAP 1] - Tempo Sync ON/OFF" },
        { "time2RightSyncButton",   T::orange,  true,  0x266A, "R2SYNC", "[RIGHT TAP 2] - Tempo Sync ON/OFF" },
        { "time3RightSyncButton",   T::red,     true,  0x266A, "R3SYNC", "[RIGHT TAP 3] - Tempo Sync ON/OFF" },
        { "fbkRightSyncButton",     T::crimson, true,  0x266A, "RFSYNC", "[RIGHT FBK TAP] - Tempo Sync ON/OFF" },
        { "lfoRateLeftSyncButton",  T::purple,  true,  0x266A, "LMSYNC", "[LEFT LFO] - Tempo Sync ON/OFF" },
        { "lfoRateRightSyncButton", T::purple,  true,  0x266A, "RMSYNC", "[RIGHT LFO] - Tempo Sync ON/OFF" },
        { "linkButton",             T::tool,    false, 0xF0C1, "LINK",   "Link channel parameters" },
        { "loopButton",             T::tool,    false, 0xF021, "LOOP",   "Enable loop playback of the entire buffered audio" },
        { "reverseButton",          T::tool,    false, 0xF100, "LPREV",  "Enable looped audio reverse playback" },
    } };

    const std::array<ComboRow, numComboBoxes> comboRows { {
        { "timeRangeLeftMenu",  "FULL|5 ms|25 ms|100 ms|500 ms|1.0 s|2.5 s", "LTRANGE",
          "[LEFT TAPS] Set time range for this channel" },
        { "timeRangeRightMenu", "FULL|5 ms|25 ms|100 ms|500 ms|1.0 s|2.5 s", "RTRANGE",
          "[RIGHT TAPS] Set time range for this channel" },
        { "fbkModeLeftMenu",    "NORMAL|CROSS", "LFMODE",
          "[LEFT FBK TAP] - Feedback inside the LEFT delay line with NORMAL setting or across the RIGHT delay line with CROSS setting" },
        { "fbkModeRightMenu",   "NORMAL|CROSS", "RFMODE",
          "[RIGHT FBK TAP] - Feedback inside the RIGHT delay line with NORMAL setting or across the LEFT delay line with CROSS setting" },
        { "lfoShapeLeftMenu",   "SINE|COSINE|TRIANGLE|RAMP UP|RAMP DOWN|SQUARE|SQR SMOOTH|BLIP DOWN|BLIP UP|RND|RND SMOOTH", "LMSHAPE",
          "[LEFT LFO] - Waveform" },
        { "lfoShapeRightMenu",  "SINE|COSINE|TRIANGLE|RAMP UP|RAMP DOWN|SQUARE|SQR SMOOTH|BLIP DOWN|BLIP UP|RND|RND SMOOTH", "RMSHAPE",
          "[RIGHT LFO] - Waveform" },
    } };

    const std::array<int, numSlots> creationOrder { {
        inputKnob, lfCutKnob, hfCutKnob, dryKnob, wetKnob, driveKnob, speedKnob,
        7, 9, 11, 13, 15, 17, 19, 21, 23, 25, 27, 29,
        8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30,
        31, 32, 33, 34, 35, 36, 37, 38, 41, 42, 39, 40, 43, 44,
    } };

    juce::String captionOf (Group group)
    {
        switch (group)
        {
            case G::input:      return "INPUT";
            case G::lfCut:      return "LF CUT";
            case G::hfCut:      return "HF CUT";
            case G::dry:        return "DRY";
            case G::wet:        return "WET";
            case G::drive:      return "DRIVE";
            case G::speed:      return "SPEED";
            case G::leftTime:
            case G::rightTime:
            case G::fbkTime:    return "TIME";
            case G::leftMod:
            case G::rightMod:
            case G::fbkMod:     return "MOD";
            case G::leftPan:
            case G::rightPan:   return "PAN";
            case G::leftLevel:
            case G::rightLevel:
            case G::fbkLevel:   return "LEVEL";
            case G::fbk:        return "FBK";
            case G::hiDamp:     return "HI\r\nDAMP";
            case G::lowDamp:    return "LOW\r\nDAMP";
            case G::rate:       return "RATE";
        }

        return {};
    }

    int parameterIndexOf (const juce::String& parameterId)
    {
        for (size_t i = 0; i < ParameterTable::parameters.size(); ++i)
            if (parameterId == ParameterTable::parameters[i].id)
                return (int) i;

        return -1;
    }
}
