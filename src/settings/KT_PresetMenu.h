#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>
#include <string>
#include <vector>

namespace corvantis
{
/** The preset browser: a box whose pop-up lists the presets folder as it is on disk each time it opens, every
    ".aup" file an item and every sub-folder a sub-menu, in the natural order of the full paths. It keeps the
    presets it found in menu order so that the editor can load one and step to the previous or next. A choice
    sets the current position and the box's text; the editor loads the file when it hears of the change.
    Every listing keeps the mark on the file it marked, wherever that file now stands, and a file gone leaves no
    mark. Message thread only. */
class KT_PresetMenu : public juce::ComboBox
{
public:
    KT_PresetMenu();
    ~KT_PresetMenu() override;

    /** Ignores every key: arrows never step through presets from here, and the key goes on to the parents. */
    bool keyPressed (const juce::KeyPress&) override;

    /** Builds a fresh menu from the presets folder and shows it; the choice arrives later (menuCallback). A folder
        without presets shows one disabled line that says so. */
    void showPopup() override;

    /** Stores the folder and lists it again, without showing anything. */
    void setPresetFolder (const juce::String& folder);

    /** Marks the preset at `index` and shows its name. The listeners hear of it even when the name shown stays the
        same, as a preset of that name in another folder is another preset. */
    void choose (int index);

    /** Adds the presets and sub-folders of `folder` to `target`, continuing the item count and the lists. */
    void buildMenu (juce::PopupMenu& target, juce::String folder);

    /** The pop-up's answer; does nothing when the box has been deleted meanwhile. Result 0: dismissed. */
    static void menuCallback (int result, KT_PresetMenu* menu);

    /** The preset at `index` of the lists, or an empty string when there is none there. */
    juce::String nameAt (int index) const;
    juce::String pathAt (int index) const;

    /** The position of `file` in the last listing, or -1. Paths are compared as files: the same preset may be
        reached through a link, on the way to the presets folder or to the file. Of two entries that are the same
        file, the one under the file's own name is taken. */
    int indexOfFile (const juce::File& file) const;

    /** Called after every listing, once the mark has moved to where its file now stands. */
    std::function<void()> onListed;

    // Read and written by the editor: the current preset's position, and the last listing in menu order.
    int currentIndex = 1;
    juce::String presetFolder;
    int itemCount = 0;
    juce::StringArray presetPaths;
    juce::StringArray presetNames;

private:
    void rebuild (juce::PopupMenu& target);
    static void tick (juce::PopupMenu& menu, int itemId);
    void buildMenu (juce::PopupMenu& target, const juce::String& folder, std::vector<std::string>& openFolders);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KT_PresetMenu)
};
} // namespace corvantis
