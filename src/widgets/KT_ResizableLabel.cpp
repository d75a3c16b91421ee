#include "KT_ResizableLabel.h"

namespace
{
    /** However tall the label, its text is fitted into this many lines. */
    constexpr int maximumLines = 2;
    /** A disabled label's text and outline keep this share of their alpha. */
    constexpr float disabledAlpha = 0.5f;
}

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
        const auto alpha = label.isEnabled() ? 1.0f : disabledAlpha;

        g.setColour (label.findColour (juce::Label::textColourId).withMultipliedAlpha (alpha));
        g.setFont (getLabelFont (label));

        const auto textArea = label.getBorderSize().subtractedFrom (label.getLocalBounds());
        g.drawFittedText (label.getText(), textArea, label.getJustificationType(), maximumLines, 0.0f);

        g.setColour (label.findColour (juce::Label::outlineColourId).withMultipliedAlpha (alpha));
    }
    else if (label.isEnabled())
    {
        g.setColour (label.findColour (juce::Label::outlineColourId));
    }

    g.drawRect (label.getLocalBounds().toFloat(), 1.0f);
}
