#include "PluginSettings.h"
#include "BoundedXml.h"

PluginSettings::PluginSettings (const juce::File& folder)
    : baseFolderOverride (folder)
{
}

PluginSettings::~PluginSettings() = default;

void PluginSettings::loadPluginSettings()
{
    const auto base = baseFolderOverride != juce::File()
                          ? baseFolderOverride
                          : juce::File::getSpecialLocation (juce::File::commonDocumentsDirectory);

    baseFolder = base.getFullPathName();
    const auto companyFolder = baseFolder + "/" + companyFolderName;
    defaultSettingsPath = companyFolder + "/Settings/";
    defaultPresetsPath = companyFolder + "/Presets/" + productName + "/";
    defaultIrFilesPath = companyFolder + "/IRs/" + productName + "/";
    defaultSamplesPath = companyFolder + "/Samples/" + productName + "/";

    settingsPath = defaultSettingsPath;
    presetsPath = defaultPresetsPath;
    samplesPath = defaultSamplesPath;
    irFilesPath = defaultIrFilesPath;

    settingsVersion = currentSettingsVersion;

    const juce::File file (settingsPath + settingsFileName);

    if (! file.exists())
    {
        writePluginSettings();
        return;
    }

    // A refused document counts as an unreadable one: the defaults stay and the file is left alone.
    if (auto root = BoundedXml::parse (file))
    {
        if (root->getTagName().equalsIgnoreCase (rootTag))
        {
            readSettingsElement (*root);
        }
        else if (root->getTagName().equalsIgnoreCase (olderRootTag))
        {
            root.reset();

            // The older form is replaced by a fresh file with the defaults.
            if (file.deleteFile() && ! file.exists())
                loadPluginSettings();

            return;
        }
    }

    if (settingsVersion < currentSettingsVersion)
        writePluginSettings();
}

juce::String PluginSettings::folderOrDefault (const juce::String& path, const juce::String& defaultFolder)
{
    // An empty or relative path would name the host's working folder; a folder without its separator
    // would have file names glued onto its own name.
    return juce::File::isAbsolutePath (path) ? juce::File::addTrailingSeparator (path) : defaultFolder;
}

void PluginSettings::readSettingsElement (const juce::XmlElement& root)
{
    if (root.getStringAttribute ("pluginName") != productName)
        return;

    settingsVersion = root.getIntAttribute ("settingsVersion", 0);
    presetsPath = folderOrDefault (root.getStringAttribute ("presetsPath"), defaultPresetsPath);
    samplesPath = folderOrDefault (root.getStringAttribute ("samplesPath"), defaultSamplesPath);
    settingsPath = folderOrDefault (root.getStringAttribute ("settingsPath"), defaultSettingsPath);
    irFilesPath = folderOrDefault (root.getStringAttribute ("irFilesPath"), defaultIrFilesPath);
    newsfeedDisabled = root.getBoolAttribute ("newsfeedDisabled", false);
    usingLegacyParameters = root.getBoolAttribute ("usingLegacyParameters", false);

    for (auto* child : root.getChildIterator())
    {
        if (child->getTagName().equalsIgnoreCase (customSettingsTag))
        {
            customSettings.clear();

            for (int i = 0; i < child->getNumAttributes(); ++i)
                customSettings.add ({ child->getAttributeName (i), child->getAttributeValue (i).getDoubleValue(), i });

            break;
        }
    }
}

juce::File PluginSettings::settingsFile() const
{
    // A settings path taken from a damaged file could be relative; never write into the host's working folder.
    if (! juce::File::isAbsolutePath (settingsPath))
        return {};

    return juce::File (settingsPath + settingsFileName);
}

bool PluginSettings::writePluginSettings()
{
    const auto file = settingsFile();
    if (file == juce::File())
        return false;

    juce::XmlElement root (rootTag);
    root.setAttribute ("pluginName", productName);
    root.setAttribute ("settingsVersion", currentSettingsVersion);
    root.setAttribute ("presetsPath", presetsPath);
    root.setAttribute ("samplesPath", samplesPath);
    root.setAttribute ("settingsPath", settingsPath);
    root.setAttribute ("irFilesPath", irFilesPath);
    root.setAttribute ("newsfeedDisabled", newsfeedDisabled ? 1 : 0);
    root.setAttribute ("usingLegacyParameters", usingLegacyParameters ? 1 : 0);

    if (! customSettings.isEmpty())
    {
        auto* custom = root.createNewChildElement (customSettingsTag);
        for (const auto& entry : customSettings)
            custom->setAttribute (entry.name, entry.value);
    }

    return root.writeTo (file);
}
