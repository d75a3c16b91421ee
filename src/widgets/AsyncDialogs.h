#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>
#include <memory>

namespace corvantis
{
    /** The dialogs the plug-in opens inside a host. None of them runs a modal loop: each returns at once and
        answers later, on the message thread, through its callback. Tests install their own answers. */
    class AsyncDialogs
    {
    public:
        virtual ~AsyncDialogs() = default;

        /** Lets the user pick one existing folder; calls back with it, or with an empty File when cancelled. */
        virtual void chooseFolder (const juce::String& title, const juce::File& startFolder,
                                   std::function<void (const juce::File&)> onChosen) = 0;

        /** Shows a message with a single confirming button, placed over `associatedComponent` when given. */
        virtual void showMessage (const juce::String& title, const juce::String& message,
                                  juce::Component* associatedComponent) = 0;
    };

    /** The framework's own asynchronous dialogs. A dialog still open when this object is deleted never calls back. */
    class SystemDialogs : public AsyncDialogs
    {
    public:
        void chooseFolder (const juce::String& title, const juce::File& startFolder,
                           std::function<void (const juce::File&)> onChosen) override;
        void showMessage (const juce::String& title, const juce::String& message,
                          juce::Component* associatedComponent) override;

    private:
        std::unique_ptr<juce::FileChooser> chooser;
    };
}
