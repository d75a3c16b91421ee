#include "FuzzSupport.h"
#include "settings/PluginSettings.h"

// The settings file, read by every new instance. The reader rewrites an older file at the settings path
// the file itself names, which a mutated input can point anywhere: under a name of the fuzzer's own, such
// a write can never replace a real settings file.
extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    const auto base = FuzzSupport::scratchFolder();
    PluginSettings settings (base);
    settings.settingsFileName = "BrindlexFuzzedSettings.aus";
    const auto file = base.getChildFile (PluginSettings::companyFolderName).getChildFile ("Settings").getChildFile (settings.settingsFileName);

    FuzzSupport::writeInput (file, data, size);
    settings.loadPluginSettings();
    return 0;
}
