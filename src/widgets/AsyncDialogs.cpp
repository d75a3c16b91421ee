#include "AsyncDialogs.h"

namespace corvantis
{
    void SystemDialogs::chooseFolder (const juce::String& title, const juce::File& startFolder,
                                      std::function<void (const juce::File&)> onChosen)
    {
        // Replacing an open chooser drops its callback, so only the latest request is ever answered.
        chooser = std::make_unique<juce::FileChooser> (title, startFolder, juce::String());
        chooser->launchAsync (juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectDirectories,
                              [onChosen = std::move (onChosen)] (const juce::FileChooser& fc)
                              {
                                  if (onChosen != nullptr)
                                      onChosen (fc.getResult());
                              });
    }

    void SystemDialogs::showMessage (const juce::String& title, const juce::String& message,
                                     juce::Component* associatedComponent)
    {
        juce::AlertWindow::showMessageBoxAsync (juce::MessageBoxIconType::NoIcon, title, message, "OK",
                                                associatedComponent);
    }
}
