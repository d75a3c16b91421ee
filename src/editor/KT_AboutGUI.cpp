#include "KT_AboutGUI.h"
#include "BrindlexVersion.h"
#include "widgets/BrindlexResources.h"

namespace corvantis
{
    namespace
    {
        const juce::Colour white (0xffffffff);
        const juce::Colour transparent (0x00000000);

        void setUpLabel (juce::Label& label, const juce::Font& font)
        {
            label.setFont (font);
            label.setJustificationType (juce::Justification::centred);
            label.setColour (juce::Label::textColourId, white);
            label.setEditable (false, false, false);
        }
    }

    KT_AboutGUI::KT_AboutGUI()
    {
        contentBox.setName ("contentBox");
        contentBox.setMultiLine (true, true);
        contentBox.setReadOnly (true);
        contentBox.setColour (juce::TextEditor::textColourId, white);
        contentBox.setColour (juce::TextEditor::backgroundColourId, transparent);
        contentBox.setText (aboutText(), false);
        addAndMakeVisible (contentBox);

        nameLabel.setText ("Brindlex", juce::dontSendNotification);
        setUpLabel (nameLabel, juce::Font (12.0f, juce::Font::bold));
        addAndMakeVisible (nameLabel);

        versionLabel.setName ("versionLabel");
        versionLabel.setText (versionText(), juce::dontSendNotification);
        setUpLabel (versionLabel, juce::Font (10.0f, juce::Font::plain));
        addAndMakeVisible (versionLabel);

        footerLabel.setName ("footerLabel");
        footerLabel.setText ("(c) Corvantis. All rights reserved.", juce::dontSendNotification);
        setUpLabel (footerLabel, juce::Font (10.0f, juce::Font::plain));
        addAndMakeVisible (footerLabel);

        closeButton.setButtonText ("x");
        closeButton.setColour (juce::TextButton::buttonColourId, transparent);
        closeButton.setColour (juce::TextButton::textColourOffId, white);
        closeButton.setColour (juce::TextButton::textColourOnId, white);
        closeButton.addListener (this);
        addAndMakeVisible (closeButton);
    }

    KT_AboutGUI::~KT_AboutGUI()
    {
        closeButton.removeListener (this);
    }

    juce::String KT_AboutGUI::aboutText()
    {
        return "A stereo multi-tap delay with cross feedback and tempo-synced taps."
               "\r\n\r\n"
               "Sound design: the Corvantis sound team\r\n"
               "Code: the Corvantis development team\r\n"
               "Graphics: the Corvantis design team"
               "\r\n\r\n"
               "Licence agreement and support: https://brindlex.example.org";
    }

    juce::String KT_AboutGUI::versionText()
    {
        return juce::String ("v") + BrindlexVersion::shortText + "\r\n(" + BrindlexVersion::buildTag + ")";
    }

    void KT_AboutGUI::paint (juce::Graphics& g)
    {
        g.fillAll (juce::Colour (0xff393a3c));

        const auto logo = BrindlexResources::getLogoImage();
        if (logo.isValid())
            g.drawImageAt (logo, (int) ((float) getWidth() * 0.5f - (float) (logo.getWidth() / 2)), 10);
    }

    void KT_AboutGUI::resized()
    {
        const int w = getWidth();
        nameLabel.setBounds (0, 50, w, 15);
        versionLabel.setBounds (0, nameLabel.getY() + 18, w, 25);
        contentBox.setBounds (3, versionLabel.getBottom() + 25, w - 3, 160);
        footerLabel.setBounds (0, 320, w, 15);
        closeButton.setBounds (w - 25, 0, 24, 24);
    }

    void KT_AboutGUI::buttonClicked (juce::Button* button)
    {
        if (button != &closeButton)
            return;

        if (auto* overlay = getParentComponent())
            overlay->setVisible (false);
    }
}
