#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace corvantis
{
    /** The about panel: the logo, the product's name, its version with the build tag, a short description with
        the credits, a rights line and a close button that hides the overlay holding the panel. */
    class KT_AboutGUI : public juce::Component,
                        public juce::Button::Listener
    {
    public:
        KT_AboutGUI();
        ~KT_AboutGUI() override;

        void paint (juce::Graphics&) override;
        void resized() override;
        void buttonClicked (juce::Button*) override;

        /** The description and credits, paragraphs separated by a blank line. */
        static juce::String aboutText();

        /** The version on one line and the build tag in parentheses on the next. */
        static juce::String versionText();

        juce::TextEditor contentBox;
        juce::Label nameLabel;
        juce::Label versionLabel;
        juce::Label footerLabel;
        juce::TextButton closeButton;

    private:
        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KT_AboutGUI)
    };
}
