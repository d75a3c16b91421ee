#include "FuzzSupport.h"
#include "newsfeed/JsonWebRequest.h"

// The news service's answer. The request reads it from a file address, so each input goes through the
// same stream reading and JSON parsing as an answer from the network, without a server.
extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    static const auto answerFile = FuzzSupport::scratchFolder().getChildFile ("answer.json");

    FuzzSupport::writeInput (answerFile, data, size);
    JsonWebRequest request (juce::URL (answerFile.getParentDirectory()).toString (false));
    request.get (answerFile.getFileName()).execute();
    return 0;
}
