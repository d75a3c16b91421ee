#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <array>
#include <atomic>

#include "KT_NewFloatParameter.h"
#include "ParameterTable.h"
#include "dsp/DelayEngine.h"
#include "newsfeed/KT_NewsfeedProcessor.h"
#include "settings/PluginSettings.h"

/** The plug-in's audio processor: buses, the 64 parameters, the delay engine, the saved state,
    the settings record and the processor-side state that parameters and editor read. */
class BrindlexAudioProcessor : public juce::AudioProcessor
{
public:
    BrindlexAudioProcessor();
    /** For tests, which must not touch the user's folders nor reach the network: settings and presets
        live under another base folder, and the newsfeed fetches from another address, or is not
        started at all when no address is given. */
    explicit BrindlexAudioProcessor (const juce::File& settingsBaseFolder, const juce::String& newsServiceAddress = {});
    ~BrindlexAudioProcessor() override;

    const juce::String getName() const override;
    void prepareToPlay (double sampleRate, int samplesPerBlock) override;
    void releaseResources() override;
    void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override;
    void processBlockBypassed (juce::AudioBuffer<float>&, juce::MidiBuffer&) override;
    double getTailLengthSeconds() const override;
    bool acceptsMidi() const override;
    bool producesMidi() const override;
    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override;
    int getNumPrograms() override;
    int getCurrentProgram() override;
    void setCurrentProgram (int) override;
    const juce::String getProgramName (int) override;
    void changeProgramName (int, const juce::String&) override;
    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;
    juce::int32 getAAXPluginIDForMainBusConfig (const juce::AudioChannelSet& mainInputLayout,
                                                const juce::AudioChannelSet& mainOutputLayout,
                                                bool idForAudioSuite) const override;
    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;
    bool silenceInProducesSilenceOut() const override;

    JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
    bool isMetaParameter (int parameterIndex) const override;
    const juce::String getInputChannelName (int channelIndex) const override;
    const juce::String getOutputChannelName (int channelIndex) const override;
    bool isInputChannelStereoPair (int index) const override;
    bool isOutputChannelStereoPair (int index) const override;
    JUCE_END_IGNORE_WARNINGS_GCC_LIKE

    // Plug-in state and preset files.
    void writePresetXml (juce::XmlElement& element);
    void readPresetXml (const juce::XmlElement& element);
    void loadPresetFile (const juce::File& file);

    // Working values of the delay engine, recomputed from the parameters each block.
    void updateDspFromParameters();
    void setTimeRange (int rangeIndex, int channel);

    KT_NewFloatParameter* getParameterAt (int index) const noexcept { return paramTable[(size_t) index]; }

    // Members read and written directly by the parameters, the editor and the newsfeed.
    PluginSettings settings;
    std::atomic<float> currentPresetIndex { 0.0f };
    bool firstPrepare = true;
    bool stateLoadedBeforePrepare = false;
    juce::String presetName;
    std::atomic<juce::int32> currentWidth { 980 };
    std::atomic<juce::int32> currentHeight { 500 };
    juce::AudioPlayHead::CurrentPositionInfo positionInfo;
    std::atomic<juce::int32> hostBpm { 100 };
    std::atomic<juce::int32> timeSigNumerator { 4 };
    std::atomic<juce::int32> timeSigDenominator { 4 };
    std::array<KT_NewFloatParameter*, ParameterTable::numParameters> paramTable {};
    juce::StringArray syncDivisionNames;
    std::array<float, ParameterTable::numDivisions> syncDivisionBeats {};
    std::array<std::atomic<juce::int32>, 2> timeRangeIndex { { -1, 0 } };
    std::array<std::atomic<juce::int32>, 2> lfoShapeIndex { { 0, 0 } };
    std::array<std::atomic<juce::int32>, 2> feedbackModeIndex { { 0, 0 } };
    std::array<std::atomic<juce::int32>, 10> divisionIndex {};
    std::array<std::atomic<bool>, 10> syncEnabled {};
    std::atomic<bool> linkMode { false };
    std::atomic<bool> loopMode { false };
    float plainTimeMs[2][4] {};
    float plainLfoRateHz[2] {};
    std::array<std::atomic<bool>, 100> parameterLocks {};
    bool writingPresetFile = false;
    std::atomic<bool> parametersChanged { true };
    juce::uint32 lastStateLoadTime = 0;
    double lastSampleRate = 44100.0;
    double lastPushedBpm = 0.0;
    /** Raised by the audio thread when a new whole-number tempo changes the synced times' texts. */
    std::atomic<bool> timeTextsChanged { false };
    DelayEngine engine;
    // Declared after everything else it could reach, so that it is destroyed first and its thread
    // has ended before any other member goes.
    corvantis::KT_NewsfeedProcessor newsProcessor;
    bool newsfeedEnabled = true;

private:
    BrindlexAudioProcessor (const juce::File& settingsBaseFolder, const juce::String& newsServiceAddress, bool startNewsfeed);

    /** Does on the message thread what the audio thread must not, as starting a timer or notifying listeners
        takes a lock and may allocate: starts the link copies that changes made on other threads asked for,
        and resends the tap times after a tempo change. */
    struct LinkCopyStarter : juce::Timer
    {
        explicit LinkCopyStarter (BrindlexAudioProcessor& p) : processor (p) {}
        void timerCallback() override;
        BrindlexAudioProcessor& processor;
    };

    LinkCopyStarter linkCopyStarter { *this };

    void createParameters();
    void announceValues (bool useCurrentValues);
    void resendTimeValues();
    void findAndLoadStartupPreset();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BrindlexAudioProcessor)
};
