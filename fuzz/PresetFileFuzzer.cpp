#include "FuzzSupport.h"
#include "processor/BrindlexAudioProcessor.h"

// A preset file as a user may download it.
extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    static auto* processor = new BrindlexAudioProcessor (FuzzSupport::scratchFolder());
    static const auto presetFile = FuzzSupport::scratchFolder().getChildFile ("fuzzed.aup");

    FuzzSupport::writeInput (presetFile, data, size);
    processor->loadPresetFile (presetFile);
    return 0;
}
