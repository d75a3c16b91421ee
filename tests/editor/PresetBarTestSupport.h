#pragma once

#include "EditorTestSupport.h"
#include "FakeEditorDialogs.h"

// The preset bar and the preset browser, driven through the real editor over real preset files.

/** The WET of the five presets the fixture writes, each its own. */
inline float wetOfPreset (int index) { return 0.1f + 0.2f * (float) index; }

/** Writes a preset named after its file, told apart from the others by its WET. */
inline bool writePreset (const juce::File& file, float wet)
{
    return file.create() && file.replaceWithText ("<Brindlex_Preset presetName=\"" + file.getFileNameWithoutExtension()
                                                  + "\" Wet=\"" + juce::String (wet) + "\"/>");
}

/** A host state naming a preset, as a host's own preset or an undo sets it. */
inline juce::MemoryBlock hostStateOf (const juce::String& name, float wet)
{
    juce::XmlElement element ("Brindlex_Preset");
    element.setAttribute ("presetName", name);
    element.setAttribute ("Wet", wet);
    juce::MemoryBlock state;
    juce::AudioProcessor::copyXmlToBinary (element, state);
    return state;
}

class PresetBarTest : public EditorTest
{
protected:
    /** Five presets in "Factory"; `addPresets` lays out more in the presets folder before the instance starts. */
    explicit PresetBarTest (std::function<void (const juce::File&)> addPresets = {}) : EditorTest ([addPresets] (const juce::File& base)
    {
        const char* const names[] = { "00 - INIT", "01 - One", "02 - Two", "03 - Three", "04 - Four" };
        const auto folder = base.getChildFile ("Corvantis/Presets/Brindlex/Factory");
        folder.createDirectory();
        for (int i = 0; i < 5; ++i)
            writePreset (folder.getChildFile (juce::String (names[i]) + ".aup"), wetOfPreset (i));
        if (addPresets != nullptr)
            addPresets (folder.getParentDirectory());
    }) {}

    void SetUp() override
    {
        EditorTest::SetUp();
        editor->dialogs.reset (dialogs = new FakeEditorDialogs());
        ASSERT_TRUE (pumpPosted());
    }

    /** Clicks and lets the browser's asynchronous change messages arrive. */
    void click (std::unique_ptr<KT_TextButton>& button) { editor->buttonClicked (button.get()); ASSERT_TRUE (pumpPosted()); }
    void answerAndClick (bool ok, std::unique_ptr<KT_TextButton>& button) { dialogs->answerOk = ok; click (button); }
    void reopenEditor() { closeEditor(); SetUp(); }

    /** Chooses the preset file in the browser's menu, which lists the folder again as it opens. */
    void choose (const juce::File& file)
    {
        editor->presetMenu.setPresetFolder (processor->settings.presetsPath);
        corvantis::KT_PresetMenu::menuCallback (editor->presetMenu.presetPaths.indexOf (file.getFullPathName()) + 1, &editor->presetMenu);
        ASSERT_TRUE (pumpPosted());
    }

    /** Opens the browser with a click, as a user does, which lists the folder again, and dismisses it. */
    void openAndDismissBrowser()
    {
        editor->presetMenu.mouseDown (WidgetTest::mouseEvent (editor->presetMenu, { 20.0f, 10.0f }));
        ASSERT_TRUE (pumpUntil ([] { return WidgetTest::openMenu() != nullptr; }));
        juce::PopupMenu::dismissAllActiveMenus();
        ASSERT_TRUE (pumpUntil ([] { return WidgetTest::openMenu() == nullptr; }) && pumpPosted());
    }

    juce::String markedPath() { return editor->presetMenu.pathAt (editor->presetMenu.currentIndex); }

    void setHostState (const juce::String& name, float wet)
    {
        const auto state = hostStateOf (name, wet);
        processor->setStateInformation (state.getData(), (int) state.getSize());
    }

    /** Opens the browser with a click and reads its ticked items as "Folder/name", each sub-menu opened in turn. */
    juce::StringArray tickedInBrowser()
    {
        juce::StringArray ticked;
        editor->presetMenu.mouseDown (WidgetTest::mouseEvent (editor->presetMenu, { 20.0f, 10.0f }));
        if (pumpUntil ([] { return WidgetTest::openMenu() != nullptr; }))
            readTicks (*WidgetTest::openMenu(), {}, ticked);
        juce::PopupMenu::dismissAllActiveMenus();
        EXPECT_TRUE (pumpUntil ([] { return WidgetTest::openMenu() == nullptr; }) && pumpPosted());
        return ticked;
    }

    static void readTicks (juce::Component& menuWindow, const juce::String& folder, juce::StringArray& ticked)
    {
        for (auto* item : menuWindow.getChildren())
        {
            auto* handler = item->getAccessibilityHandler();
            if (handler == nullptr || handler->getRole() != juce::AccessibilityRole::menuItem)
                continue;

            const auto state = handler->getCurrentState();
            if (state.isChecked())
                ticked.add (folder + handler->getTitle());

            // An opened sub-menu is the menu that takes the clicks until it closes.
            if (state.isExpandable() && handler->getActions().invoke (juce::AccessibilityActionType::showMenu)
                && pumpUntil ([&menuWindow] { return WidgetTest::openMenu() != &menuWindow; }))
                readTicks (*WidgetTest::openMenu(), folder + handler->getTitle() + "/", ticked);
        }
    }

    /** The browser, its text and the processor agree on the preset at `index`; WET holds `presetWet`. */
    void expectSelected (int index, float presetWet)
    {
        EXPECT_EQ (editor->presetMenu.currentIndex, index);
        EXPECT_EQ (editor->presetMenu.getText(), editor->presetMenu.nameAt (index));
        EXPECT_EQ (processor->currentPresetIndex.load(), (float) index);
        EXPECT_NEAR (parameter ("WET")->getValue(), presetWet, 1e-6f);
    }

    FakeEditorDialogs* dialogs = nullptr;
};
