#include "BrindlexLookAndFeel.h"
#include "PopupMenuColours.h"
#include "BrindlexResources.h"

namespace corvantis
{
namespace
{
    bool isParameterBoxName (const juce::String& name)
    {
        return name == "timeRangeLeftMenu" || name == "timeRangeRightMenu"
            || name == "fbkModeLeftMenu" || name == "fbkModeRightMenu"
            || name == "lfoShapeLeftMenu" || name == "lfoShapeRightMenu";
    }
}

BrindlexLookAndFeel::BrindlexLookAndFeel (juce::Colour resizerOffset, juce::Colour resizerLine)
    : resizerColours { resizerOffset, resizerLine }
{
    setPopupMenuColours (*this);
    setColour (juce::TextEditor::highlightColourId, juce::Colour (0xFFDEDDDD));
    setColour (juce::TextEditor::outlineColourId, juce::Colour (0xFF313030));
}

void BrindlexLookAndFeel::drawComboBox (juce::Graphics& g, int width, int height, bool, int, int, int, int,
                                        juce::ComboBox& box)
{
    g.fillAll (box.findColour (juce::ComboBox::backgroundColourId));

    const juce::Rectangle<float> frame (0.0f, 0.0f, (float) width, (float) height);

    if (box.isEnabled() && box.hasKeyboardFocus (false))
    {
        g.setColour (box.findColour (juce::ComboBox::buttonColourId));
        g.drawRect (frame, 2.0f);
    }
    else
    {
        g.setColour (box.findColour (juce::ComboBox::outlineColourId));
        g.drawRect (frame, 1.0f);
    }

    // The outermost pixel is always the outline colour, even around the focus frame.
    g.setColour (box.findColour (juce::ComboBox::outlineColourId));
    g.drawRect (frame, 1.0f);
}

void BrindlexLookAndFeel::drawComboBoxTextWhenNothingSelected (juce::Graphics& g, juce::ComboBox& box,
                                                                juce::Label& label)
{
    g.setColour (box.findColour (juce::ComboBox::textColourId).withMultipliedAlpha (0.5f));
    const auto font = getLabelFont (label);
    g.setFont (font);
    const auto area = getLabelBorderSize (label).subtractedFrom (label.getLocalBounds());
    g.drawFittedText (box.getTextWhenNothingSelected(), area, label.getJustificationType(),
                      juce::jmax (1, (int) ((float) area.getHeight() / font.getHeight())),
                      label.getMinimumHorizontalScale());
}

juce::Font BrindlexLookAndFeel::getComboBoxFont (juce::ComboBox& box)
{
    const auto name = box.getName();

    if (name == "presetMenu")
        return juce::Font (BrindlexResources::getRegularTypeface()).withPointHeight (16.0f);

    if (name == "sampleMenu")
        return juce::Font (12.0f, juce::Font::plain);

    return juce::Font (14.0f, juce::Font::plain);
}

juce::Label* BrindlexLookAndFeel::createComboBoxTextBox (juce::ComboBox& box)
{
    // The text label bears the box's name, so that getLabelFont picks the box's font by that name.
    return new juce::Label (box.getName(), juce::String());
}

void BrindlexLookAndFeel::positionComboBoxText (juce::ComboBox& box, juce::Label& label)
{
    label.setBounds (1, 0, box.getWidth() - 1, box.getHeight() - 1);
    label.setFont (getComboBoxFont (box));
}

juce::Font BrindlexLookAndFeel::getLabelFont (juce::Label& label)
{
    const auto name = label.getName();

    if (isParameterBoxName (name))
        return juce::Font (BrindlexResources::getRegularTypeface())
            .withPointHeight (juce::jmin (16.0f, 0.85f * (float) label.getHeight()))
            .withExtraKerningFactor (0.1f);

    if (name == "presetMenu")
        return juce::Font (BrindlexResources::getRegularTypeface()).withPointHeight (juce::jmax (10.0f, 14.0f * uiScale));

    return juce::Font (BrindlexResources::getBoldTypeface()).withPointHeight (11.0f);
}

void BrindlexLookAndFeel::drawCornerResizer (juce::Graphics& g, int w, int h, bool, bool)
{
    const auto fw = (float) w;
    const auto fh = (float) h;
    const auto thickness = (float) juce::jmin (w, h) * 0.075f;

    for (float i = 0.0f; i < 1.0f; i += 0.3f)
    {
        g.setColour (resizerColours[1]);
        g.drawLine (fw * i, fh + 1.0f, fw + 1.0f, fh * i, thickness);

        g.setColour (resizerColours[0]);
        g.drawLine (fw * i + thickness, fh + 1.0f, fw + 1.0f, fh * i + thickness, thickness);
    }
}
}
