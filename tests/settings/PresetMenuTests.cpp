#include <gtest/gtest.h>
#include "settings/KT_PresetMenu.h"
#include "widgets/WidgetTestSupport.h"

namespace
{
    /** The menu as text: items "id:name" (a tick as "*"), sub-menus "[title ...]". */
    juce::String describe (const juce::PopupMenu& menu)
    {
        juce::StringArray parts;
        for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
        {
            const auto& item = it.getItem();
            if (item.subMenu != nullptr)
                parts.add ("[" + juce::StringArray (item.text, describe (*item.subMenu)).joinIntoString (" ").trim() + "]");
            else
                parts.add (juce::String (item.itemID) + ":" + item.text + (item.isTicked ? "*" : ""));
        }
        return parts.joinIntoString (" ");
    }
}

TEST (PresetMenu, ListsARealFolderTreeInNaturalOrderWithOneBasedIdsAndNoEndlessLoop)
{
    juce::ScopedJuceInitialiser_GUI juceInit;
    const auto root = juce::File::createTempFile ("brindlex-presets");
    for (auto* path : { "B.aup", "a.aup", "Bass/x.aup", "Preset 10.aup", "Preset 2.aup", "X.AUP", "notes.txt", "Loop/y.aup" })
        root.getChildFile (path).create();
    root.getChildFile ("Empty").createDirectory();
    root.getChildFile ("Loop/back").createSymbolicLink (root, true);

    // The listing ticks nothing: the mark is ticked once the whole folder is listed (the preset bar tests).
    corvantis::KT_PresetMenu menu;
    menu.currentIndex = 2;
    juce::PopupMenu popup;
    menu.buildMenu (popup, root.getFullPathName());
    EXPECT_EQ (describe (popup), "1:a 2:B [Bass 3:x] [Empty] [Loop 4:y] 5:Preset 2 6:Preset 10 7:X");

    // Listing again, as every opening does, gives the same lists, not longer ones.
    menu.setPresetFolder (root.getFullPathName());
    menu.setPresetFolder (root.getFullPathName());
    EXPECT_EQ (menu.presetNames, juce::StringArray ({ "a", "B", "x", "y", "Preset 2", "Preset 10", "X" }));
    EXPECT_EQ (menu.presetPaths[2], root.getChildFile ("Bass/x.aup").getFullPathName());
    EXPECT_EQ (menu.itemCount, 7);

    menu.setPresetFolder (root.getChildFile ("missing").getFullPathName());
    EXPECT_TRUE (menu.presetNames.isEmpty());
    EXPECT_EQ (menu.itemCount, 0);
    root.deleteRecursively();
}

TEST (PresetMenu, ThroughALinkedFolderEveryListedPresetIsFoundAtItsOwnPositionByItsRealPath)
{
    juce::ScopedJuceInitialiser_GUI juceInit;
    const auto base = juce::File::createTempFile ("brindlex-presets");
    const auto root = base.getChildFile ("real"), link = base.getChildFile ("linked");
    for (auto* path : { "a.aup", "Bass/x.aup", "Lead/y.aup", "z.aup" })
        ASSERT_TRUE (root.getChildFile (path).create());

    // "Alias" in one folder is a link to "y" in another: one file listed twice, under two names.
    ASSERT_TRUE (root.getChildFile ("Lead/y.aup").createSymbolicLink (root.getChildFile ("Bass/Alias.aup"), true));
    ASSERT_TRUE (root.createSymbolicLink (link, true));

    corvantis::KT_PresetMenu menu;
    menu.setPresetFolder (link.getFullPathName());
    ASSERT_EQ (menu.presetNames, juce::StringArray ({ "a", "Alias", "x", "y", "z" }));
    for (int i = 0; i < menu.presetPaths.size(); ++i)
    {
        const juce::File real (root.getFullPathName() + menu.presetPaths[i].fromFirstOccurrenceOf (link.getFullPathName(), false, false));
        EXPECT_EQ (menu.indexOfFile (real), i) << real.getFullPathName();
    }
    base.deleteRecursively();
}

using PresetMenuPopup = WidgetTest::MenuTest;

// The first click finds no presets; the box must not keep waiting for an answer from a menu never shown.
TEST_F (PresetMenuPopup, EveryClickOpensAMenuAlsoAfterOneOnAFolderWithoutPresets)
{
    const auto root = juce::File::createTempFile ("brindlex-presets");
    WidgetTest::DesktopWindow window;
    corvantis::KT_PresetMenu menu;
    window.addAndMakeVisible (menu);
    menu.setBounds (10, 10, 200, 24);
    menu.setPresetFolder (root.getFullPathName());

    for (int click = 0; click < 2; ++click, root.getChildFile ("x.aup").create())
    {
        menu.mouseDown (WidgetTest::mouseEvent (menu, { 20.0f, 12.0f }));
        EXPECT_TRUE (pumpUntil ([] { return WidgetTest::openMenu() != nullptr; })) << "click " << click;
        juce::PopupMenu::dismissAllActiveMenus();
        ASSERT_TRUE (pumpUntil ([] { return WidgetTest::openMenu() == nullptr; }) && pumpPosted());
    }
    root.deleteRecursively();
}
