#include <gtest/gtest.h>
#include "settings/KT_PresetMenu.h"

namespace
{
    /** A presets folder on disk, removed again at the end. */
    struct PresetFolder
    {
        PresetFolder() { root.createDirectory(); }
        ~PresetFolder() { root.deleteRecursively(); }

        void add (const juce::String& relativePath) const
        {
            const auto file = root.getChildFile (relativePath);
            file.getParentDirectory().createDirectory();
            file.replaceWithText ("<Brindlex_Preset/>");
        }

        juce::ScopedJuceInitialiser_GUI juceInit;
        juce::File root { juce::File::createTempFile ("brindlex-presets") };
    };

    /** The menu as text: items "id:name" (a tick as "*"), sub-menus "[title ...]". */
    juce::String describe (const juce::PopupMenu& menu)
    {
        juce::StringArray parts;
        for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
        {
            const auto& item = it.getItem();
            if (item.subMenu != nullptr)
                parts.add ("[" + item.text + (item.subMenu->getNumItems() > 0 ? " " : "") + describe (*item.subMenu) + "]");
            else
                parts.add (juce::String (item.itemID) + ":" + item.text + (item.isTicked ? "*" : ""));
        }
        return parts.joinIntoString (" ");
    }
}

TEST (PresetMenu, ListsTheFolderTreeInNaturalOrderWithOneBasedIds)
{
    PresetFolder folder;
    for (auto* path : { "B.aup", "a.aup", "Bass/x.aup", "Preset 10.aup", "Preset 2.aup", "X.AUP", "notes.txt" })
        folder.add (path);
    folder.root.getChildFile ("Empty").createDirectory();

    corvantis::KT_PresetMenu menu;
    menu.currentIndex = 2;
    menu.setPresetFolder (folder.root.getFullPathName());

    EXPECT_EQ (menu.presetNames, juce::StringArray ({ "a", "B", "x", "Preset 2", "Preset 10", "X" }));
    EXPECT_EQ (menu.presetPaths[2], folder.root.getChildFile ("Bass/x.aup").getFullPathName());
    EXPECT_EQ (menu.itemCount, 6);

    juce::PopupMenu popup;
    menu.itemCount = 0;
    menu.presetNames.clear();
    menu.presetPaths.clear();
    menu.buildMenu (popup, folder.root.getFullPathName());
    EXPECT_EQ (describe (popup), "1:a 2:B [Bass 3:x*] [Empty] 4:Preset 2 5:Preset 10 6:X");

    // Listing again, as every opening does, gives the same lists, not longer ones.
    menu.setPresetFolder (folder.root.getFullPathName());
    menu.setPresetFolder (folder.root.getFullPathName());
    EXPECT_EQ (menu.presetNames.size(), 6);
    EXPECT_EQ (menu.presetPaths.size(), 6);
}

TEST (PresetMenu, AMissingFolderOrALinkBackToAParentListsNothingEndless)
{
    PresetFolder folder;
    folder.add ("Loop/y.aup");
    folder.root.getChildFile ("Loop/back").createSymbolicLink (folder.root, true);

    corvantis::KT_PresetMenu menu;
    menu.setPresetFolder (folder.root.getFullPathName());
    EXPECT_EQ (menu.presetNames, juce::StringArray ({ "y" }));

    menu.setPresetFolder (folder.root.getChildFile ("missing").getFullPathName());
    EXPECT_TRUE (menu.presetNames.isEmpty());
    EXPECT_EQ (menu.itemCount, 0);
}
