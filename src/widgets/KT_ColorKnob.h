#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

namespace corvantis
{
/** The editor's rotary control: a background disc with a value disc that grows with the value. While the mouse is
    over it, its description shows in the editor's shared info label; a right click opens its lock menu. */
class KT_ColorKnob : public juce::Slider
{
public:
    /** Draws the two discs and colours the knob's popup menus. */
    class KT_ColorKnobLAF : public juce::LookAndFeel_V3
    {
    public:
        ~KT_ColorKnobLAF() override = default;

        void drawRotarySlider (juce::Graphics&, int x, int y, int width, int height, float sliderPos,
                               float rotaryStartAngle, float rotaryEndAngle, juce::Slider&) override;
    };

    /** The background disc is drawn in `background`, the value disc in `fill`. `parameter` gives the index that
        the owner uses for its lock table (-1 without a parameter). Range, value and listeners are the owner's. */
    KT_ColorKnob (juce::Colour background, juce::Colour fill, juce::AudioProcessorParameter* parameter);
    ~KT_ColorKnob() override;

    void mouseEnter (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    void mouseDown (const juce::MouseEvent&) override;

    /** The right-click menu: 1 "Lock parameter" (ticked while locked), 2 "Unlock All". */
    juce::PopupMenu createLockMenu();

    /** Shows the lock menu asynchronously; its result arrives in lockMenuCallback. */
    void showLockMenu();

    /** Applies a lock-menu result; `knob` is null when the knob was deleted while its menu was open. */
    static void lockMenuCallback (int result, KT_ColorKnob* knob);

    juce::String description;
    juce::Label* infoLabel = nullptr;
    bool locked = false;
    /** Raised by "Unlock All". The knob never lowers it: the editor, at its next refresh, clears the lock flag of
        every knob and slider and then lowers it, so that the item works again. */
    bool unlockAllRequested = false;
    int paramIndex;
    KT_ColorKnobLAF knobLAF;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KT_ColorKnob)
};
}
