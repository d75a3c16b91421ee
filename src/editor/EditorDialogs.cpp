#include "EditorDialogs.h"

namespace corvantis
{
AsyncEditorDialogs::AsyncEditorDialogs (juce::Component& ownerToUse)
    : owner (ownerToUse)
{
}

AsyncEditorDialogs::~AsyncEditorDialogs()
{
    // Answers still pending must not reach whoever asked: it is being destroyed with us.
    *alive = false;
}

void AsyncEditorDialogs::chooseFile (const juce::String& title, const juce::File& startLocation,
                                     const juce::String& filePattern, int flags,
                                     std::function<void (const juce::File&)> onChosen)
{
    chooser = std::make_unique<juce::FileChooser> (title, startLocation, filePattern, true);
    chooser->launchAsync (flags, [token = alive, onChosen = std::move (onChosen)] (const juce::FileChooser& fc)
    {
        if (*token && onChosen != nullptr)
            onChosen (fc.getResult());
    });
}

void AsyncEditorDialogs::confirm (const juce::String& title, const juce::String& message,
                                  std::function<void (bool)> onAnswer)
{
    showAlert (title, message, true, std::move (onAnswer));
}

void AsyncEditorDialogs::inform (const juce::String& title, const juce::String& message,
                                 std::function<void()> onClosed)
{
    showAlert (title, message, false, [onClosed = std::move (onClosed)] (bool)
    {
        if (onClosed != nullptr)
            onClosed();
    });
}

void AsyncEditorDialogs::showAlert (const juce::String& title, const juce::String& message, bool withCancel,
                                    std::function<void (bool)> onAnswer)
{
    auto window = std::make_unique<juce::AlertWindow> (title, message,
                                                       withCancel ? juce::MessageBoxIconType::QuestionIcon
                                                                  : juce::MessageBoxIconType::WarningIcon,
                                                       &owner);
    window->addButton ("OK", 1, juce::KeyPress (juce::KeyPress::returnKey));
    if (withCancel)
        window->addButton ("Cancel", 0, juce::KeyPress (juce::KeyPress::escapeKey));

    auto* shown = window.get();
    alerts.push_back (std::move (window));

    shown->enterModalState (true, juce::ModalCallbackFunction::create (
        [this, shown, token = alive, onAnswer = std::move (onAnswer)] (int result)
        {
            if (! *token)
                return;

            // The window leaves our list before the answer runs, and is deleted after it.
            std::unique_ptr<juce::AlertWindow> finished;
            for (auto it = alerts.begin(); it != alerts.end(); ++it)
            {
                if (it->get() == shown)
                {
                    finished = std::move (*it);
                    alerts.erase (it);
                    break;
                }
            }

            if (onAnswer != nullptr)
                onAnswer (result == 1);
        }), false);
}
} // namespace corvantis
