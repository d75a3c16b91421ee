#pragma once

#include "editor/EditorDialogs.h"

/** Answers every dialog at once, as set up by the test, and records what the user would have been shown. */
struct FakeEditorDialogs : public corvantis::EditorDialogs
{
    void chooseFile (const juce::String& title, const juce::File&, const juce::String&, int flags, std::function<void (const juce::File&)> onChosen) override
    {
        chooserTitles.add (title);
        chooserFlags = flags;
        onChosen (fileToChoose);
    }

    void confirm (const juce::String&, const juce::String& message, std::function<void (bool)> onAnswer) override { questions.add (message); onAnswer (answerOk); }

    void inform (const juce::String&, const juce::String& message, std::function<void()> onClosed) override
    {
        messages.add (message);
        if (onClosed != nullptr)
            onClosed();
    }

    juce::File fileToChoose; // juce::File() answers as a cancelled chooser
    bool answerOk = true;
    int chooserFlags = 0;
    juce::StringArray chooserTitles, questions, messages;
};
