#include "FuzzSupport.h"
#include "newsfeed/KT_NewsfeedProcessor.h"

// The news cache "newsfeed.xml" beside the settings file.
extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    static const auto cacheFile = FuzzSupport::scratchFolder().getChildFile ("newsfeed.xml");
    static auto* newsProcessor = new corvantis::KT_NewsfeedProcessor();

    FuzzSupport::writeInput (cacheFile, data, size);
    newsProcessor->newsfeedFile = cacheFile.getFullPathName();
    newsProcessor->loadNewsfeedFile();
    return 0;
}
