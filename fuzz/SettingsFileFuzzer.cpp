#include "FuzzSupport.h"
#include "settings/PluginSettings.h"

// The settings file "Brindlex.aus", read by every new instance.
extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    const auto base = FuzzSupport::scratchFolder();
    PluginSettings settings (base);
    const auto file = base.getChildFile (PluginSettings::companyFolderName).getChildFile ("Settings").getChildFile (settings.settingsFileName);

    FuzzSupport::writeInput (file, data, size);
    settings.loadPluginSettings();
    return 0;
}
