#include "FuzzSupport.h"
#include "processor/BrindlexAudioProcessor.h"

// The host state: whatever bytes a host hands to setStateInformation.
extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    static auto* processor = new BrindlexAudioProcessor (FuzzSupport::scratchFolder());
    processor->setStateInformation (data, (int) size);
    return 0;
}
