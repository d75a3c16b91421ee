#include "KT_ColorKnob.h"
#include "PopupMenuColours.h"

namespace corvantis
{
KT_ColorKnob::KT_ColorKnob (juce::Colour background, juce::Colour fill, juce::AudioProcessorParameter* parameter)
    : juce::Slider (juce::String()),
      paramIndex (parameter != nullptr ? parameter->getParameterIndex() : -1)
{
    knobLAF.setColour (juce::Slider::textBoxOutlineColourId, juce::Colour (0x00000000));
    setPopupMenuColours (knobLAF);
    knobLAF.setColour (juce::Slider::backgroundColourId, background);
    knobLAF.setColour (juce::Slider::rotarySliderFillColourId, fill);

    setSliderStyle (juce::Slider::RotaryVerticalDrag);
    setTextBoxStyle (juce::Slider::NoTextBox, true, 0, 0);
    setLookAndFeel (&knobLAF);
}

KT_ColorKnob::~KT_ColorKnob()
{
    setLookAndFeel (nullptr);
}

void KT_ColorKnob::mouseEnter (const juce::MouseEvent& e)
{
    if (infoLabel != nullptr)
        infoLabel->setText (description, juce::dontSendNotification);

    juce::Slider::mouseEnter (e);
}

void KT_ColorKnob::mouseExit (const juce::MouseEvent& e)
{
    if (infoLabel != nullptr)
        infoLabel->setText ({}, juce::dontSendNotification);

    juce::Slider::mouseExit (e);
}

void KT_ColorKnob::mouseDown (const juce::MouseEvent& e)
{
    if (juce::ModifierKeys::getCurrentModifiers().isRightButtonDown())
    {
        showLockMenu();
        return;
    }

    juce::Slider::mouseDown (e);
}

juce::PopupMenu KT_ColorKnob::createLockMenu()
{
    juce::PopupMenu menu;
    menu.setLookAndFeel (&getLookAndFeel());
    menu.addItem (1, "Lock parameter", true, locked);
    menu.addItem (2, "Unlock All", true, false);
    return menu;
}

void KT_ColorKnob::showLockMenu()
{
    createLockMenu().showMenuAsync (juce::PopupMenu::Options().withTargetComponent (this),
                                    juce::ModalCallbackFunction::forComponent (lockMenuCallback, this));
}

void KT_ColorKnob::lockMenuCallback (int result, KT_ColorKnob* knob)
{
    if (knob == nullptr)
        return;

    if (result == 1)
        knob->locked = ! knob->locked;
    else if (result == 2)
        knob->unlockAllRequested = true;
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
