#include "KT_ColorSlider.h"

namespace
{
    /** The bar lets a little of the track show through. */
    constexpr float barAlpha = 0.8f;
    /** A disabled bar keeps its hue and alpha but loses half its saturation. */
    constexpr float disabledBarSaturation = 0.5f;
}

KT_ColorSlider::KT_ColorSlider (juce::Colour background, juce::Colour fill, juce::AudioProcessorParameter* parameter)
    : KT_LockableSlider (parameter, false)
{
    setSliderStyle (juce::Slider::LinearBar);
    useLookAndFeel (sliderLAF, background, fill);
}

KT_ColorSlider::~KT_ColorSlider()
{
    setLookAndFeel (nullptr);
}

void KT_ColorSlider::KT_ColorSliderLAF::drawLinearSlider (juce::Graphics& g, int x, int y, int width, int height,
                                                          float sliderPos, float, float, juce::Slider::SliderStyle,
                                                          juce::Slider& slider)
{
    g.fillAll (slider.findColour (juce::Slider::backgroundColourId));

    auto start = (float) x;

    if (barFromCentre)
        start = (float) x + (float) width * 0.5f;

    const auto left = juce::jmin (start, sliderPos);
    const auto right = juce::jmax (start, sliderPos);

    juce::Path bar;
    bar.addRectangle (left, (float) y, right - left, (float) height);

    g.setColour (slider.findColour (juce::Slider::rotarySliderFillColourId)
                     .withMultipliedSaturation (slider.isEnabled() ? 1.0f : disabledBarSaturation)
                     .withMultipliedAlpha (barAlpha));
    g.fillPath (bar);
}
