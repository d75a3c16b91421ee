#include "KT_PresetMenu.h"
#include <algorithm>
#include <filesystem>

namespace corvantis
{
namespace
{
    struct NaturalPathOrder
    {
        static int compareElements (const juce::File& a, const juce::File& b)
        {
            return a.getFullPathName().compareNatural (b.getFullPathName(), false);
        }
    };
}

KT_PresetMenu::KT_PresetMenu()
    : juce::ComboBox (juce::String())
{
    setTextWhenNoChoicesAvailable ("No presets in this folder");
}

KT_PresetMenu::~KT_PresetMenu() = default;

bool KT_PresetMenu::keyPressed (const juce::KeyPress&)
{
    return false;
}

void KT_PresetMenu::setPresetFolder (const juce::String& folder)
{
    presetFolder = folder;
    juce::PopupMenu scratch;
    rebuild (scratch);
}

void KT_PresetMenu::choose (int index)
{
    currentIndex = index;

    // The box reports a change only when its text changes.
    setText ({}, juce::dontSendNotification);
    setText (nameAt (index), juce::sendNotificationAsync);
}

void KT_PresetMenu::rebuild (juce::PopupMenu& target)
{
    // Files may have come or gone since the last listing, so the mark is found again by its file, not its number.
    const juce::File marked (pathAt (currentIndex));
    currentIndex = -1;
    itemCount = 0;
    presetNames.clear();
    presetPaths.clear();
    buildMenu (target, presetFolder);

    currentIndex = indexOfFile (marked);
    tick (target, currentIndex + 1);

    if (onListed != nullptr)
        onListed();
}

void KT_PresetMenu::tick (juce::PopupMenu& menu, int itemId)
{
    if (itemId < 1)
        return;

    for (juce::PopupMenu::MenuItemIterator it (menu, true); it.next();)
        if (it.getItem().itemID == itemId)
            it.getItem().isTicked = true;
}

void KT_PresetMenu::buildMenu (juce::PopupMenu& target, juce::String folder)
{
    std::vector<std::string> openFolders;
    buildMenu (target, folder, openFolders);
}

void KT_PresetMenu::buildMenu (juce::PopupMenu& target, const juce::String& folder,
                               std::vector<std::string>& openFolders)
{
    // A relative or empty path names no folder; juce::File would take it for a fault.
    if (! juce::File::isAbsolutePath (folder))
        return;

    // A link back to a folder being listed would nest sub-menus without end: such a folder stays an empty one.
    std::error_code error;
    const auto real = std::filesystem::canonical (folder.toStdString(), error).string();
    if (error || std::find (openFolders.begin(), openFolders.end(), real) != openFolders.end())
        return;

    openFolders.push_back (real);

    const juce::File directory (juce::File::addTrailingSeparator (folder));
    auto children = directory.findChildFiles (juce::File::findFilesAndDirectories, false, "*");
    if (children.size() > 1)
    {
        NaturalPathOrder order;
        children.sort (order);
    }

    for (const auto& child : children)
    {
        if (child.isDirectory())
        {
            juce::PopupMenu subMenu;
            buildMenu (subMenu, child.getFullPathName(), openFolders);
            target.addSubMenu (child.getFileName(), subMenu);
        }
        else if (child.hasFileExtension (".aup"))
        {
            const auto name = child.getFileNameWithoutExtension();
            target.addItem (itemCount + 1, name);
            presetNames.insert (itemCount, name);
            presetPaths.insert (itemCount, child.getFullPathName());
            ++itemCount;
        }
    }

    openFolders.pop_back();
}

void KT_PresetMenu::showPopup()
{
    juce::PopupMenu menu;
    menu.setLookAndFeel (&getLookAndFeel());
    rebuild (menu);

    // The framework drops an empty menu without ever answering, which would leave the box waiting for that
    // answer and deaf to every later click.
    if (menu.getNumItems() == 0)
        menu.addItem (1, getTextWhenNoChoicesAvailable(), false, false);

    menu.showMenuAsync (juce::PopupMenu::Options()
                            .withTargetComponent (this)
                            .withItemThatMustBeVisible (currentIndex + 1)
                            .withMinimumWidth (getWidth())
                            .withMaximumNumColumns (1)
                            .withStandardItemHeight (20),
                        juce::ModalCallbackFunction::forComponent (menuCallback, this));
}

void KT_PresetMenu::menuCallback (int result, KT_PresetMenu* menu)
{
    if (menu == nullptr)
        return;

    menu->hidePopup();

    if (result == 0)
        return;

    menu->choose (result - 1);
}

juce::String KT_PresetMenu::nameAt (int index) const
{
    return juce::isPositiveAndBelow (index, presetNames.size()) ? presetNames[index] : juce::String();
}

juce::String KT_PresetMenu::pathAt (int index) const
{
    return juce::isPositiveAndBelow (index, presetPaths.size()) ? presetPaths[index] : juce::String();
}

int KT_PresetMenu::indexOfFile (const juce::File& file) const
{
    const auto path = file.getFullPathName();
    if (path.isEmpty())
        return -1;

    if (const int index = presetPaths.indexOf (path, ! juce::File::areFileNamesCaseSensitive()); index >= 0)
        return index;

    std::error_code error;
    const std::filesystem::path wanted (path.toStdString());
    if (! std::filesystem::exists (wanted, error))
        return -1;

    // A link in one folder to a preset in another lists the same file twice.
    int found = -1;
    for (int index = 0; index < presetPaths.size(); ++index)
    {
        if (! std::filesystem::equivalent (wanted, presetPaths[index].toStdString(), error))
            continue;

        if (juce::File (presetPaths[index]).getFileName() == file.getFileName())
            return index;

        if (found < 0)
            found = index;
    }

    return found;
}
} // namespace corvantis
