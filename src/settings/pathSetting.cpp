#include "pathSetting.h"

namespace corvantis
{
    pathSetting::pathSetting()
    {
        titleLabel.setFont (juce::Font (15.0f, juce::Font::bold));
        titleLabel.setJustificationType (juce::Justification::centredLeft);
        titleLabel.setEditable (false, false, false);
        titleLabel.setColour (juce::Label::textColourId, juce::Colour (0xffffffff));
        titleLabel.setColour (juce::Label::backgroundColourId, juce::Colour (0x00000000));
        addAndMakeVisible (titleLabel);

        pathBox.setMultiLine (false);
        pathBox.setReadOnly (true);
        pathBox.setCaretVisible (false);
        pathBox.setScrollbarsShown (false);
        pathBox.setPopupMenuEnabled (true);
        addAndMakeVisible (pathBox);

        browseButton.setButtonText ("...");
        browseButton.addListener (this);
        addAndMakeVisible (browseButton);

        setSize (400, 30);
    }

    pathSetting::~pathSetting()
    {
        browseButton.removeListener (this);
    }

    void pathSetting::paint (juce::Graphics& g)
    {
        g.fillAll (juce::Colour (0xff393a3c));
    }

    void pathSetting::resized()
    {
        titleLabel.setBounds (8, 8, 64, 24);
        pathBox.setBounds (80, 8, 240, 24);
        browseButton.setBounds (336, 8, 31, 24);
    }

    void pathSetting::setPath (const juce::String& newPath)
    {
        path = newPath;
        pathBox.setText (path, true);
    }

    void pathSetting::buttonClicked (juce::Button* button)
    {
        if (button != &browseButton || dialogs == nullptr)
            return;

        // The row may be gone by the time the chooser answers.
        juce::Component::SafePointer<pathSetting> row (this);
        dialogs->chooseFile ("Select new path...", juce::File::getSpecialLocation (juce::File::userHomeDirectory), {},
                             juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectDirectories,
                             [row] (const juce::File& folder)
                               {
                                   if (row == nullptr || folder == juce::File())
                                       return;

                                   // Stored folder paths end with "/"; the root folder already does.
                                   auto chosen = folder.getFullPathName();
                                   if (! chosen.endsWith ("/"))
                                       chosen += "/";

                                   row->setPath (chosen);
                               });
    }
}
