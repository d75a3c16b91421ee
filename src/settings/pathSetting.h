#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include "editor/EditorDialogs.h"

namespace corvantis
{
    /** One folder row of the settings panel: a title, the folder's path (read-only) and a browse button that
        lets the user pick another folder. The row only holds the path; the panel copies it out on Save. */
    class pathSetting : public juce::Component,
                        public juce::Button::Listener
    {
    public:
        pathSetting();
        ~pathSetting() override;

        void paint (juce::Graphics&) override;
        void resized() override;
        void buttonClicked (juce::Button*) override;

        /** Sets the folder the row stands for and shows it. */
        void setPath (const juce::String& newPath);

        /** Where Browse opens its folder chooser; set by the panel that holds the row. */
        EditorDialogs* dialogs = nullptr;

        juce::String path;
        juce::Label titleLabel;
        juce::TextEditor pathBox;
        juce::TextButton browseButton;

    private:
        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (pathSetting)
    };
}
