#pragma once

#include <juce_events/juce_events.h>
#include <functional>
#include "processor/BrindlexAudioProcessor.h"

/** A processor whose settings and presets live in a fresh temporary folder, never the user's. */
class TestProcessor
{
public:
    TestProcessor()
        : folder (juce::File::createTempFile ("brindlex-test")),
          processor ((folder.createDirectory(), folder))
    {
    }

    /** Lets a test lay out files (settings, presets) in the base folder before the processor starts. */
    explicit TestProcessor (const std::function<void (const juce::File& baseFolder)>& prepareFolder)
        : folder (juce::File::createTempFile ("brindlex-test")),
          processor ((folder.createDirectory(), prepareFolder (folder), folder))
    {
    }

    ~TestProcessor() { folder.deleteRecursively(); }

    BrindlexAudioProcessor* operator->() { return &processor; }
    BrindlexAudioProcessor& operator*() { return processor; }

    juce::File folder;

private:
    juce::ScopedJuceInitialiser_GUI juceInit;
    BrindlexAudioProcessor processor;
};
