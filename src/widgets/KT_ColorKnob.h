#pragma once

#include "KT_LockableSlider.h"

namespace corvantis
{
/** The editor's rotary control: a background disc with a value disc that grows with the value. While the mouse is
    over it, its description shows in the editor's shared info label; a right click opens its lock menu. */
class KT_ColorKnob : public KT_LockableSlider
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

    /** The background disc is drawn in `background`, the value disc in `fill`. Its lock menu offers "Unlock All". */
    KT_ColorKnob (juce::Colour background, juce::Colour fill, juce::AudioProcessorParameter* parameter);
    ~KT_ColorKnob() override;

    KT_ColorKnobLAF knobLAF;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KT_ColorKnob)
};
}
