#pragma once

#include "editor/EditorDialogs.h"

/** Answers every dialog at once, as set up by the test, and records what the user would have been shown. */
class FakeEditorDialogs : public corvantis::EditorDialogs
{
public:
    struct Shown
    {
        juce::String title, message;
    };

    void chooseFile (const juce::String& title, const juce::File&, const juce::String&, int flags,
                     std::function<void (const juce::File&)> onChosen) override
    {
        chooserTitles.add (title);
        chooserFlags = flags;
        onChosen (fileToChoose);
    }

    void confirm (const juce::String& title, const juce::String& message, std::function<void (bool)> onAnswer) override
    {
        questions.push_back ({ title, message });
        onAnswer (answerOk);
    }

    void inform (const juce::String& title, const juce::String& message, std::function<void()> onClosed) override
    {
        messages.push_back ({ title, message });
        if (onClosed != nullptr)
            onClosed();
    }

    juce::File fileToChoose;   // juce::File() answers as a cancelled chooser
    bool answerOk = true;

    juce::StringArray chooserTitles;
    int chooserFlags = 0;
    std::vector<Shown> questions, messages;
};
