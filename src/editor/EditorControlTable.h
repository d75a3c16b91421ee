#pragma once

#include <juce_core/juce_core.h>
#include <array>

/** The editor's inventory of parameter controls: which parameter each knob, slider, toggle and choice box is bound
    to, its colours, its caption group and its hover text. The editor builds its controls from these rows. */
namespace EditorControlTable
{
    /** A control's colour pair: an accent (dim twin, accent) or the tool colours (0x80e8e0cb, text colour). */
    enum class Tint
    {
        yellow,
        orange,
        red,
        crimson,
        purple,
        tool
    };

    /** The caption label a control belongs to; it shows the moving control's value text during a gesture. */
    enum class Group
    {
        input,
        lfCut,
        hfCut,
        dry,
        wet,
        drive,
        speed,
        leftTime,
        rightTime,
        leftMod,
        rightMod,
        leftPan,
        rightPan,
        leftLevel,
        rightLevel,
        fbkTime,
        fbkMod,
        fbkLevel,
        fbk,
        hiDamp,
        lowDamp,
        rate
    };

    /** Slots of the 45 knobs and sliders. Slots 0 to 6 are knobs, 7 to 44 sliders; within the tap rows the left
        and right channel alternate (tap n of the left channel at first + 2 (n - 1), its right twin one slot on). */
    enum Slot
    {
        inputKnob = 0,
        lfCutKnob = 1,
        hfCutKnob = 2,
        dryKnob = 3,
        wetKnob = 4,
        driveKnob = 5,
        speedKnob = 6,
        firstTapTime = 7,
        firstTapMod = 13,
        firstTapPan = 19,
        firstTapLevel = 25,
        fbkTimeLeft = 31,
        fbkModLeft = 33,
        fbkLevelLeft = 35,
        fbkLeft = 37,
        hiDampLeft = 39,
        lowDampLeft = 41,
        rateLeft = 43,
        numSlots = 45
    };

    /** Slots of the 13 toggles. */
    enum ToggleSlot
    {
        leftSync1 = 0,
        fbkLeftSync = 3,
        rightSync1 = 4,
        fbkRightSync = 7,
        lfoLeftSync = 8,
        lfoRightSync = 9,
        linkToggle = 10,
        loopToggle = 11,
        reverseToggle = 12,
        numToggles = 13
    };

    /** The six parameter choice boxes, in the order of `comboRows`. */
    enum ComboSlot
    {
        timeRangeLeft = 0,
        timeRangeRight,
        fbkModeLeft,
        fbkModeRight,
        lfoShapeLeft,
        lfoShapeRight,
        numComboBoxes
    };

    struct SliderRow
    {
        bool isKnob;
        Group group;
        Tint tint;
        const char* parameterId;
        const char* hoverText;
        bool barFromCentre;
    };

    struct ToggleRow
    {
        const char* name;
        Tint tint;
        bool isTempoSync;
        juce::juce_wchar glyph;
        const char* parameterId;
        const char* hoverText;
    };

    struct ComboRow
    {
        const char* name;
        const char* items;     // item texts separated by "|", ids 1, 2, 3 ... in this order
        const char* parameterId;
        const char* hoverText;
    };

    extern const std::array<SliderRow, numSlots> sliderRows;
    extern const std::array<ToggleRow, numToggles> toggleRows;
    extern const std::array<ComboRow, numComboBoxes> comboRows;

    /** The slots in the order the controls are created (the order of the editor's knob and slider lists). */
    extern const std::array<int, numSlots> creationOrder;

    /** The caption each group shows while none of its controls is moving. */
    juce::String captionOf (Group group);

    /** Host index of the parameter with this ID, or -1 when there is none. */
    int parameterIndexOf (const juce::String& parameterId);

    /** The slot of tap n (1 to 3) in a tap row that starts at `first`, for channel 0 (left) or 1 (right). */
    constexpr int tapSlot (int first, int channel, int tap) noexcept { return first + 2 * (tap - 1) + channel; }
}
