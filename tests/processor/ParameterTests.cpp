#include <gtest/gtest.h>
#include "processor/BrindlexAudioProcessor.h"
#include "TestSupport.h"

TEST (ParameterTable, HostSeesSixtyFourParametersInOrder)
{
    TestProcessor p;
    auto& params = p->getParameters();
    ASSERT_EQ (params.size(), 64);
    auto* first = dynamic_cast<juce::AudioProcessorParameterWithID*> (params[0]);
    auto* last = dynamic_cast<juce::AudioProcessorParameterWithID*> (params[63]);
    EXPECT_EQ (first->paramID, "ILEVEL");
    EXPECT_EQ (last->paramID, "LPREV");
    EXPECT_EQ (params[48]->getName (100), "RFB Tap Sync");
    EXPECT_FLOAT_EQ (params[48]->getDefaultValue(), 1.0f);
    EXPECT_FLOAT_EQ (params[21]->getDefaultValue(), 0.0f);
}
