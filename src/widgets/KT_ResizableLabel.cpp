#include "KT_ResizableLabel.h"

KT_ResizableLabel::KT_ResizableLabel()
    : juce::Label (juce::String(), juce::String())
{
}

void KT_ResizableLabel::paint (juce::Graphics& g)
{
    labelLAF.drawLabel (g, *this);
}

void KT_ResizableLabel::KT_ResizableLabelLAF::drawLabel (juce::Graphics& g, juce::Label& label)
{
    g.fillAll (label.findColour (juce::Label::backgroundColourId));

    if (! label.isBeingEdited())
    {
        const auto alpha = label.isEnabled() ? 1.0f : 0.5f;

        g.setColour (label.findColour (juce::Label::textColourId).withMultipliedAlpha (alpha));
        g.setFont (getLabelFont (label));

        const auto textArea = label.getBorderSize().subtractedFrom (label.getLocalBounds());
        g.drawFittedText (label.getText(), textArea, label.getJustificationType(), 2, 0.0f);

        g.setColour (label.findColour (juce::Label::outlineColourId).withMultipliedAlpha (alpha));
    }
    else if (label.isEnabled())
    {
        g.setColour (label.findColour (juce::Label::outlineColourId));
    }

    g.drawRect (label.getLocalBounds().toFloat(), 1.0f);
}
