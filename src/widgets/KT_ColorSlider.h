#pragma once

#include "KT_LockableSlider.h"

/** The editor's horizontal bar control: a coloured bar over a coloured track, growing from the left edge or, for
    bipolar controls, from the middle. While the mouse is over it, its description shows in the editor's shared info
    label; a right click opens its lock menu. */
class KT_ColorSlider : public corvantis::KT_LockableSlider
{
public:
    /** Draws the track and the bar and colours the slider's popup menus. */
    class KT_ColorSliderLAF : public juce::LookAndFeel_V3
    {
    public:
        ~KT_ColorSliderLAF() override = default;

        void drawLinearSlider (juce::Graphics&, int x, int y, int width, int height, float sliderPos,
                               float minSliderPos, float maxSliderPos, juce::Slider::SliderStyle,
                               juce::Slider&) override;

        /** The bar starts at the middle of the track instead of its left edge. */
        bool barFromCentre = false;
    };

    /** The track is drawn in `background`, the bar in `fill`. Its lock menu has only "Lock parameter". */
    KT_ColorSlider (juce::Colour background, juce::Colour fill, juce::AudioProcessorParameter* parameter);
    ~KT_ColorSlider() override;

    KT_ColorSliderLAF sliderLAF;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KT_ColorSlider)
};
