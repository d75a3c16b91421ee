#include "BrindlexAudioProcessor.h"

void BrindlexAudioProcessor::updateDspFromParameters()
{
}

void BrindlexAudioProcessor::setTimeRange (int, int)
{
}
