// The editor's preset bar, preset browser and logo menu.

#include "BrindlexAudioProcessorEditor.h"
#include "WebLinks.h"
#include <algorithm>
#include <limits>

namespace
{
    const char* const randomSkippedIds[] = { "LINK", "LOOP", "LPSPEED", "LPREV" };
    const char* const syncIds[] = { "L1SYNC", "L2SYNC", "L3SYNC", "R1SYNC", "R2SYNC",
                                    "R3SYNC", "LFSYNC", "RFSYNC", "LMSYNC", "RMSYNC" };

    void setAndNotify (juce::AudioProcessorParameter& parameter, float v)
    {
        parameter.setValue (v);
        parameter.sendValueChangedMessageToListeners (v);
    }

    juce::String idOf (juce::AudioProcessorParameter* parameter)
    {
        if (auto* withId = dynamic_cast<juce::AudioProcessorParameterWithID*> (parameter))
            return withId->paramID;

        return {};
    }
}

void BrindlexAudioProcessorEditor::setUpPresetBrowser()
{
    dialogs = std::make_unique<corvantis::AsyncEditorDialogs> (*this);

    const juce::Colour transparent (0x00000000);
    presetMenu.setPresetFolder (audioProcessor.settings.presetsPath);

    // What plays moves with the mark on every later listing, so that a choice of the position it left loads.
    presetMenu.onListed = [this] { audioProcessor.currentPresetIndex = (float) presetMenu.currentIndex; };
    addAndMakeVisible (presetMenu);
    presetMenu.setName ("presetMenu");
    presetMenu.addListener (this);
    presetMenu.setEditableText (false);
    presetMenu.setJustificationType (juce::Justification::centred);
    presetMenu.setLookAndFeel (&editorLookAndFeel);
    presetMenu.setColour (juce::ComboBox::backgroundColourId, transparent);
    presetMenu.setColour (juce::ComboBox::outlineColourId, transparent);
    presetMenu.setColour (juce::ComboBox::buttonColourId, transparent);
    presetMenu.setColour (juce::ComboBox::arrowColourId, textColour);
    presetMenu.setColour (juce::ComboBox::textColourId, textColour);
    presetMenu.setTextWhenNothingSelected ("Default");

    showWhatPlays();
}

void BrindlexAudioProcessorEditor::showWhatPlays()
{
    const auto playing = audioProcessor.playingPreset();
    hostStatesShown = playing.hostStates;

    // The file that plays is marked as the editor that loaded it marked it, as presets in other folders may share
    // its name or the name inside it. Gone, it leaves its name at no position, and no other file is marked.
    if (playing.file != juce::File())
    {
        const int index = presetMenu.indexOfFile (playing.file);
        return showPlayingAs (index, index < 0 ? playing.file.getFileNameWithoutExtension() : presetMenu.nameAt (index));
    }

    // No file is known after a host state (a project, the host's own presets): its preset is found by name. A
    // fresh instance without a start-up preset shows the init preset's name.
    const bool fresh = playing.hostStates == 0 && audioProcessor.settings.startupPresetFile == juce::File();
    const auto name = fresh ? juce::String ("00 - INIT") : playing.name;
    const int index = presetMenu.presetNames.indexOf (name);

    // What plays need not be listed here (saved outside the folder, or named by a state from another machine):
    // nothing is loaded, and the box shows its name at no position ("Default" when it has none).
    showPlayingAs (index, index < 0 ? playing.name : name);
}

void BrindlexAudioProcessorEditor::followHostState()
{
    if (audioProcessor.hostStatesApplied() != hostStatesShown)
        showWhatPlays();
}

void BrindlexAudioProcessorEditor::showPlayingAs (int index, const juce::String& name)
{
    currentPresetName = name;
    audioProcessor.currentPresetIndex = (float) index;
    presetMenu.currentIndex = index;
    presetMenu.setText (name, juce::sendNotificationAsync);
}

void BrindlexAudioProcessorEditor::presetBrowserChanged()
{
    if (audioProcessor.currentPresetIndex.load() != (float) presetMenu.currentIndex)
        loadSelectedPreset();
}

void BrindlexAudioProcessorEditor::loadSelectedPreset()
{
    const int index = presetMenu.currentIndex;
    const juce::File file (presetMenu.pathAt (index));

    // A position without a preset (an empty folder) has nothing to load. A file that fails to load is said, and
    // the box goes back to what plays.
    if (file != juce::File() && ! loadPresetOrSaySo (file))
        return showWhatPlays();

    currentPresetName = audioProcessor.playingPreset().name;
    audioProcessor.currentPresetIndex = (float) index;
}

bool BrindlexAudioProcessorEditor::loadPresetOrSaySo (const juce::File& file)
{
    if (audioProcessor.loadPresetFile (file))
        return true;

    dialogs->inform ("Load preset", "The preset was not loaded: " + file.getFullPathName()
                                        + (file.existsAsFile() ? " is not a readable preset." : " no longer exists."));
    return false;
}

void BrindlexAudioProcessorEditor::logoMenuChanged()
{
    const int id = logoMenu.getSelectedId();
    const auto address = corvantis::WebLinks::forLogoMenuItem (id);

    if (address.isNotEmpty())
        openLink (juce::URL (address));
    else if (id == 4)
        showAboutOverlay();
    else if (id == 5)
        showSettingsWindow();

    // Empty again, so that the same item can be chosen next time; a box already at 0 reports no change.
    logoMenu.setSelectedId (0, juce::sendNotificationAsync);
}

bool BrindlexAudioProcessorEditor::presetBarClicked (juce::Button* button)
{
    const int i = presetMenu.currentIndex;
    const int n = presetMenu.presetNames.size();

    if (button == prevButton.get())
        presetMenu.choose (i < 1 ? n - 1 : (i <= n ? i - 1 : 0));
    else if (button == nextButton.get())
        presetMenu.choose (i + 1 < n ? i + 1 : 0);
    else if (button == saveButton.get())
        dialogs->chooseFile ("Save Preset", juce::File (audioProcessor.settings.presetsPath), "*.aup",
                             juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles
                                 | juce::FileBrowserComponent::warnAboutOverwriting,
                             [this] (const juce::File& chosen)
                             {
                                 if (chosen == juce::File())
                                     return;

                                 // The browser lists ".aup" files only: a name typed without it gets it, and
                                 // a preset it would then replace is not replaced without asking.
                                 if (chosen.hasFileExtension (".aup"))
                                     return savePresetAs (chosen);

                                 const auto file = chosen.getSiblingFile (chosen.getFileName() + ".aup");
                                 if (! file.exists())
                                     return savePresetAs (file);

                                 dialogs->confirm ("Save Preset",
                                                   file.getFileName() + " already exists. Do you want to replace it?",
                                                   [this, file] (bool ok)
                                                   {
                                                       if (ok)
                                                           savePresetAs (file);
                                                   });
                             });
    else if (button == delButton.get())
        deleteCurrentPreset();
    else if (button == randButton.get())
        randomiseParameters();
    else if (button == reloadButton.get())
        reloadCurrentPreset();
    else
        return false;

    return true;
}

void BrindlexAudioProcessorEditor::savePresetAs (const juce::File& file)
{
    if (! audioProcessor.savePresetFile (file))
    {
        // Nothing was saved: the current preset keeps its name, the browser its list and selection.
        dialogs->inform ("Save Preset", "The preset was not saved: " + file.getFullPathName()
                                            + " could not be written.");
        return;
    }

    // The file just written holds what plays, so nothing is loaded. It is found as a file, not by its name, as a
    // preset of the same name may stand elsewhere in the folder and the folder may be reached through a link; a
    // file saved outside the folder is not listed, and the box still shows its name.
    presetMenu.setPresetFolder (audioProcessor.settings.presetsPath);
    showPlayingAs (presetMenu.indexOfFile (file), file.getFileNameWithoutExtension());
}

void BrindlexAudioProcessorEditor::deleteCurrentPreset()
{
    const juce::File file (presetMenu.pathAt (presetMenu.currentIndex));
    if (file == juce::File())
        return;

    dialogs->confirm ("Delete preset",
                      "Do you want to permanently delete " + file.getFileNameWithoutExtension() + "?",
                      [this, file] (bool ok)
                      {
                          if (! ok)
                              return;

                          if (! file.deleteFile())
                          {
                              dialogs->inform ("Delete preset", "The preset was not deleted: "
                                                                    + file.getFullPathName() + " could not be removed.");
                              return;
                          }

                          const int i = presetMenu.currentIndex;
                          presetMenu.setPresetFolder (audioProcessor.settings.presetsPath);
                          const int n = presetMenu.presetNames.size();
                          presetMenu.choose (i < 1 ? n - 1 : (i <= n ? i - 1 : 0));
                      });
}

void BrindlexAudioProcessorEditor::randomiseParameters()
{
    const auto& parameters = audioProcessor.getParameters();

    for (int index = 0; index < parameters.size(); ++index)
    {
        // Every parameter takes a draw, skipped or not, so the sequence does not depend on the locks.
        const auto draw = (juce::uint32) randomGenerator.nextInt();
        auto* parameter = parameters[index];
        const auto id = idOf (parameter);

        if (std::any_of (std::begin (randomSkippedIds), std::end (randomSkippedIds),
                         [&id] (const char* skipped) { return id == skipped; }))
            continue;

        const int lockIndex = parameter->getParameterIndex();
        if (juce::isPositiveAndBelow (lockIndex, (int) audioProcessor.parameterLocks.size())
            && audioProcessor.parameterLocks[(size_t) lockIndex].load (std::memory_order_relaxed))
            continue;

        const float v = juce::jmin ((float) draw / 4294967296.0f, 1.0f - std::numeric_limits<float>::epsilon());
        setAndNotify (*parameter, v);
    }

    // The tempo-sync switches end on or off, never in between, whatever their locks.
    for (auto* syncId : syncIds)
    {
        const bool on = randomGenerator.nextBool();
        if (auto* parameter = parameterWithId (syncId))
            setAndNotify (*parameter, on ? 1.0f : 0.0f);
    }
}

void BrindlexAudioProcessorEditor::reloadCurrentPreset()
{
    const juce::File file (presetMenu.pathAt (presetMenu.currentIndex));
    if (file == juce::File())
        return;

    dialogs->confirm ("Reload preset",
                      "Do you want to reload " + file.getFileNameWithoutExtension()
                          + " from its file? Changes made since it was loaded are lost.",
                      [this, file] (bool ok)
                      {
                          if (! ok)
                              return;

                          loadPresetOrSaySo (file);
                      });
}
