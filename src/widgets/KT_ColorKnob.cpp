#include "KT_ColorKnob.h"

namespace corvantis
{
KT_ColorKnob::KT_ColorKnob (juce::Colour background, juce::Colour fill, juce::AudioProcessorParameter* parameter)
    : KT_LockableSlider (parameter, true)
{
    setSliderStyle (juce::Slider::RotaryVerticalDrag);
    useLookAndFeel (knobLAF, background, fill);
}

KT_ColorKnob::~KT_ColorKnob()
{
    setLookAndFeel (nullptr);
}

void KT_ColorKnob::KT_ColorKnobLAF::drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height,
                                                      float sliderPos, float, float, juce::Slider& slider)
{
    const auto fx = (float) x;
    const auto fy = (float) y;
    const auto fw = (float) width;
    const auto fh = (float) height;

    juce::Path background;
    background.addEllipse (fx, fy, fw, fh);
    g.setColour (slider.findColour (juce::Slider::backgroundColourId));
    g.fillPath (background);

    // The value disc's diameter is the value's share of the background disc's, around the same centre.
    const auto cx = fx + fw * 0.5f;
    const auto cy = fy + fh * 0.5f;
    const auto w = fw * sliderPos;
    const auto h = fh * sliderPos;

    juce::Path value;
    value.addEllipse (cx - w * 0.5f, cy - h * 0.5f, w, h);
    g.setColour (slider.findColour (juce::Slider::rotarySliderFillColourId));
    g.fillPath (value);
}
}
