#include "KT_TextButton.h"

namespace
{
    /** How far the background moves away from its colour while pressed, and while hovered after a click. */
    constexpr float pressedContrast = 0.2f;
    constexpr float hoveredContrast = 0.1f;
    /** A disabled button's text keeps this share of its alpha. */
    constexpr float disabledTextAlpha = 0.5f;
    /** The text is centred in this share of the button, from its top-left corner. */
    constexpr float textAreaShare = 0.98f;
}

KT_TextButton::KT_TextButton (juce::Colour textColourOff, juce::Colour textColourOn)
    : juce::TextButton (juce::String(), juce::String())
{
    buttonLAF.setColour (juce::TextButton::buttonColourId, juce::Colour (0x00000000));
    buttonLAF.setColour (juce::TextButton::buttonOnColourId, juce::Colour (0x00000000));
    buttonLAF.setColour (juce::TextButton::textColourOnId, textColourOn);
    buttonLAF.setColour (juce::TextButton::textColourOffId, textColourOff);
    setLookAndFeel (&buttonLAF);
}

KT_TextButton::~KT_TextButton()
{
    setLookAndFeel (nullptr);
}

void KT_TextButton::mouseEnter (const juce::MouseEvent&)
{
    // The base's own enter handling is skipped on purpose: hovering alone leaves the background clear.
    showDescription();
}

void KT_TextButton::mouseExit (const juce::MouseEvent& e)
{
    clearDescription();
    juce::TextButton::mouseExit (e);
}

void KT_TextButton::KT_TextButtonLAF::drawButtonBackground (juce::Graphics& g, juce::Button& button,
                                                            const juce::Colour& backgroundColour,
                                                            bool isMouseOverButton, bool isButtonDown)
{
    auto base = backgroundColour.withMultipliedSaturation (button.hasKeyboardFocus (true) ? 1.3f : 0.9f)
                                .withMultipliedAlpha (button.isEnabled() ? 0.9f : 0.5f);

    if (isButtonDown || isMouseOverButton)
        base = base.contrasting (isButtonDown ? pressedContrast : hoveredContrast);

    const auto w = (float) button.getWidth() - 1.0f;
    const auto h = (float) button.getHeight() - 1.0f;

    if (w <= 0.0f || h <= 0.0f)
        return;

    const auto inset = juce::jmin (15.0f, juce::jmin (w, h) * 0.45f) * 0.1f;

    juce::Path background;
    background.addRectangle (0.5f + inset * 0.5f, 0.5f + inset * 0.5f, w - inset, h - inset);
    g.setColour (base);
    g.fillPath (background);
}

juce::Font KT_TextButton::KT_TextButtonLAF::getTextButtonFont (juce::TextButton&, int)
{
    return font;
}

void KT_TextButton::KT_TextButtonLAF::drawButtonText (juce::Graphics& g, juce::TextButton& button, bool, bool)
{
    g.setFont (getTextButtonFont (button, button.getHeight()));

    const auto colourId = button.getToggleState() ? juce::TextButton::textColourOnId
                                                  : juce::TextButton::textColourOffId;
    g.setColour (button.findColour (colourId).withMultipliedAlpha (button.isEnabled() ? 1.0f : disabledTextAlpha));

    const juce::Rectangle<float> area (0.0f, 0.0f,
                                       (float) (int) ((float) button.getWidth() * textAreaShare),
                                       (float) (int) ((float) button.getHeight() * textAreaShare));
    g.drawText (button.getButtonText(), area, juce::Justification::centred, true);
}
