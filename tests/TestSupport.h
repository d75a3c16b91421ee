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

/** One silent block: it also hands the host what the plug-in announced since the last one. */
inline void processSilence (BrindlexAudioProcessor& p, int numSamples = 64)
{
    juce::AudioBuffer<float> buffer (2, numSamples);
    juce::MidiBuffer midi;
    buffer.clear();
    p.processBlock (buffer, midi);
}

/** A play head that reports a tempo of the test's choosing in 7/8. */
struct FixedPlayHead : juce::AudioPlayHead
{
    juce::Optional<PositionInfo> getPosition() const override
    {
        PositionInfo info;
        info.setBpm (bpm);
        info.setTimeSignature (TimeSignature { 7, 8 });
        return info;
    }

    double bpm = 120.0;
};

inline std::vector<float> valuesOf (BrindlexAudioProcessor& p)
{
    std::vector<float> values;
    for (auto* parameter : p.paramTable)
        values.push_back (parameter->getValue());
    return values;
}

inline void setPlainValue (BrindlexAudioProcessor& p, int index, float plain)
{
    auto* parameter = p.getParameterAt (index);
    parameter->setValue (parameter->getRange().convertTo0to1 (plain));
}

/** The value notifications per parameter, as a host's listener sees them. */
struct HostListener : juce::AudioProcessorParameter::Listener
{
    explicit HostListener (BrindlexAudioProcessor& p) : processor (p)
    {
        for (auto* parameter : processor.getParameters())
            parameter->addListener (this);
    }

    ~HostListener() override
    {
        for (auto* parameter : processor.getParameters())
            parameter->removeListener (this);
    }

    void parameterValueChanged (int index, float newValue) override { received.push_back ({ index, newValue }); }
    void parameterGestureChanged (int, bool) override {}

    BrindlexAudioProcessor& processor;
    std::vector<std::pair<int, float>> received;
};
