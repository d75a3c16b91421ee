#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>
#include <memory>
#include <vector>

namespace corvantis
{
/** Every question and message the editor and its windows put to the user. The answers always arrive later, on
    the message thread, through the given function: nothing here runs a modal loop inside the host. An answer
    never arrives once the object that asked has been destroyed. Tests install their own implementation that
    answers at once. */
class EditorDialogs
{
public:
    virtual ~EditorDialogs() = default;

    /** A file or folder chooser; `flags` are juce::FileBrowserComponent flags. `onChosen` gets the chosen file,
        or juce::File() when the user cancelled. */
    virtual void chooseFile (const juce::String& title, const juce::File& startLocation,
                             const juce::String& filePattern, int flags,
                             std::function<void (const juce::File&)> onChosen) = 0;

    /** A question with the buttons "OK" and "Cancel"; `onAnswer` gets true for OK. */
    virtual void confirm (const juce::String& title, const juce::String& message,
                          std::function<void (bool)> onAnswer) = 0;

    /** A message with one "OK" button; `onClosed`, when given, runs once it has been dismissed. */
    virtual void inform (const juce::String& title, const juce::String& message,
                         std::function<void()> onClosed = {}) = 0;
};

/** The dialogs users see: the framework's asynchronous alert windows and the system's file chooser. The open
    dialogs belong to this object and close with it, so a host closing the editor leaves no window behind. */
class AsyncEditorDialogs final : public EditorDialogs
{
public:
    /** `owner`: the component the alert windows are centred on; it must outlive this object. */
    explicit AsyncEditorDialogs (juce::Component& owner);
    ~AsyncEditorDialogs() override;

    void chooseFile (const juce::String& title, const juce::File& startLocation, const juce::String& filePattern,
                     int flags, std::function<void (const juce::File&)> onChosen) override;
    void confirm (const juce::String& title, const juce::String& message,
                  std::function<void (bool)> onAnswer) override;
    void inform (const juce::String& title, const juce::String& message,
                 std::function<void()> onClosed = {}) override;

private:
    void showAlert (const juce::String& title, const juce::String& message, bool withCancel,
                    std::function<void (bool)> onAnswer);

    juce::Component& owner;
    std::unique_ptr<juce::FileChooser> chooser;
    std::vector<std::unique_ptr<juce::AlertWindow>> alerts;
    std::shared_ptr<bool> alive = std::make_shared<bool> (true);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AsyncEditorDialogs)
};
} // namespace corvantis
