#include "KT_ColorSlider.h"
#include "PopupMenuColours.h"

KT_ColorSlider::KT_ColorSlider (juce::Colour background, juce::Colour fill, juce::AudioProcessorParameter* parameter)
    : juce::Slider (juce::String()),
      paramIndex (parameter != nullptr ? parameter->getParameterIndex() : -1)
{
    sliderLAF.setColour (juce::Slider::textBoxOutlineColourId, juce::Colour (0x00000000));
    corvantis::setPopupMenuColours (sliderLAF);
    sliderLAF.setColour (juce::Slider::backgroundColourId, background);
    sliderLAF.setColour (juce::Slider::rotarySliderFillColourId, fill);

    setSliderStyle (juce::Slider::LinearBar);
    setTextBoxStyle (juce::Slider::NoTextBox, true, 0, 0);
    setLookAndFeel (&sliderLAF);
}

KT_ColorSlider::~KT_ColorSlider()
{
    setLookAndFeel (nullptr);
}

void KT_ColorSlider::mouseEnter (const juce::MouseEvent& e)
{
    if (infoLabel != nullptr)
        infoLabel->setText (description, juce::dontSendNotification);

    juce::Slider::mouseEnter (e);
}

void KT_ColorSlider::mouseExit (const juce::MouseEvent& e)
{
    if (infoLabel != nullptr)
        infoLabel->setText ({}, juce::dontSendNotification);

    juce::Slider::mouseExit (e);
}

void KT_ColorSlider::mouseDown (const juce::MouseEvent& e)
{
    if (juce::ModifierKeys::getCurrentModifiers().isRightButtonDown())
    {
        showLockMenu();
        return;
    }

    juce::Slider::mouseDown (e);
}

juce::PopupMenu KT_ColorSlider::createLockMenu()
{
    juce::PopupMenu menu;
    menu.setLookAndFeel (&getLookAndFeel());
    menu.addItem (1, "Lock parameter", true, locked);
    return menu;
}

void KT_ColorSlider::showLockMenu()
{
    createLockMenu().showMenuAsync (juce::PopupMenu::Options().withTargetComponent (this),
                                    juce::ModalCallbackFunction::forComponent (lockMenuCallback, this));
}

void KT_ColorSlider::lockMenuCallback (int result, KT_ColorSlider* slider)
{
    if (result == 1 && slider != nullptr)
        slider->locked = ! slider->locked;
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
                     .withMultipliedSaturation (slider.isEnabled() ? 1.0f : 0.5f)
                     .withMultipliedAlpha (0.8f));
    g.fillPath (bar);
}
