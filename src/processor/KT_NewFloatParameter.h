#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <array>
#include <atomic>

class BrindlexAudioProcessor;

/** The plug-in's one parameter class: a normalised value with a plain-unit range, value texts chosen
    by the parameter's name, and the link-mode copy to the twin parameter of the other channel. */
class KT_NewFloatParameter : public juce::AudioProcessorParameterWithID,
                             private juce::Timer
{
public:
    KT_NewFloatParameter (BrindlexAudioProcessor* owner,
                          const juce::String& parameterID,
                          const juce::String& name,
                          juce::NormalisableRange<float> range,
                          const juce::String& label,
                          float defaultValue);
    ~KT_NewFloatParameter() override;

    float getValue() const override;
    void setValue (float newValue) override;
    float getDefaultValue() const override;
    juce::String getName (int maximumStringLength) const override;
    juce::String getLabel() const override;
    juce::String getText (float value, int maximumStringLength) const override;
    float getValueForText (const juce::String& text) const override;

    /** The plain-unit range in force; the time-range switch replaces it for the tap times. */
    const juce::NormalisableRange<float>& getRange() const noexcept;

    /** Plain value of the current normalised value. */
    float getPlainValue() const;

    /** Installs a new plain range and default (plain units) without touching the normalised value
        and without notifying anybody. Used by the time-range switch on the audio thread: it neither
        allocates nor locks. */
    void setRangeAndDefault (float start, float end, float skew, float newDefaultPlain) noexcept;

    /** Starts the link copy that a change on another thread asked for; message thread only. */
    void startPendingLinkCopy();

    /** Takes a value that the plug-in applies itself (a state, a preset, a link copy): like setValue it
        raises the processor's changed flag, but it is no change of the user's or the host's, so it starts
        no link copy and withdraws one that an earlier change of this parameter still had waiting. */
    void applyOwnValue (float newValue) noexcept;

    /** Plain default value (for example 883 ms for a tap time). */
    float getDefaultPlainValue() const noexcept { return defaultValue.load (std::memory_order_relaxed); }

    BrindlexAudioProcessor* const owner;
    const juce::String name;
    const juce::String label;
    const juce::String nameKey;
    const juce::NormalisableRange<float> divisionRange { 0.0f, 28.0f, 0.0f, 1.0f, false };
    const juce::StringArray timeRangeChoices;

private:
    void timerCallback() override;
    KT_NewFloatParameter* findTwin() const;
    juce::String divisionName (int index) const;
    bool parseValue (const juce::String& text, float& normalised) const;

    std::atomic<float> defaultValue;
    std::atomic<float> value { 0.0f };
    std::atomic<bool> linkTimerGuard { false };
    std::atomic<bool> linkCopyPending { false };
    std::atomic<bool> linkCopyDue { false };

    // Two slots so that a range switch on the audio thread never rewrites the range a reader uses.
    std::array<juce::NormalisableRange<float>, 2> ranges;
    std::atomic<int> activeRange { 0 };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KT_NewFloatParameter)
};
