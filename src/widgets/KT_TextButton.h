#pragma once

#include "KT_InfoHover.h"

/** The editor's button: a flat, nearly transparent background and its text in one of two colours by toggle state,
    in a font that its owner chooses. While the mouse is over it, its description shows in the editor's shared info
    label. */
class KT_TextButton : public juce::TextButton,
                      public corvantis::KT_InfoHover
{
public:
    /** Draws the inset background and the text in the owner's font. */
    class KT_TextButtonLAF : public juce::LookAndFeel_V3
    {
    public:
        ~KT_TextButtonLAF() override = default;

        void drawButtonBackground (juce::Graphics&, juce::Button&, const juce::Colour& backgroundColour,
                                   bool isMouseOverButton, bool isButtonDown) override;
        juce::Font getTextButtonFont (juce::TextButton&, int buttonHeight) override;
        void drawButtonText (juce::Graphics&, juce::TextButton&, bool isMouseOverButton, bool isButtonDown) override;

        /** The text font; the owner assigns it directly. */
        juce::Font font;
    };

    /** The text is drawn in `textColourOff` while the toggle state is off and in `textColourOn` while it is on. */
    KT_TextButton (juce::Colour textColourOff, juce::Colour textColourOn);
    ~KT_TextButton() override;

    void mouseEnter (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;

    KT_TextButtonLAF buttonLAF;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KT_TextButton)
};
