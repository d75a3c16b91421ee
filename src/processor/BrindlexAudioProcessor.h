#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <array>
#include <atomic>
#include <optional>

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
    /** Applies a preset element; false, and nothing applied, when it is not one. */
    bool readPresetXml (const juce::XmlElement& element);
    /** Applies a preset file and remembers it as what plays; false, and nothing applied or remembered, when
        the file is gone, unreadable or holds no preset. */
    bool loadPresetFile (const juce::File& file);
    /** Writes what plays to `file` as a preset named after it, without the editor size, and remembers it as
        what plays; false, with nothing remembered and the name kept, when the file could not be written. */
    bool savePresetFile (const juce::File& file);

    /** The element of a host state (the framework's binary envelope around the XML text), or nothing when
        the data is damaged or refused. Nothing is applied. */
    static std::unique_ptr<juce::XmlElement> parseHostState (const void* data, int sizeInBytes);

    /** The element of a preset document, or nothing when the text is cut off, refused or not XML. */
    static std::unique_ptr<juce::XmlElement> parsePresetText (const juce::String& text);

    /** What plays, as the preset bar shows it: the preset's name and the preset file it came from, so that
        every editor marks that very file and not another of the same name. */
    struct PlayingPreset
    {
        juce::String name;
        /** The start-up preset, or the file last loaded or saved; juce::File() once a host state has been
            set, as a state holds only a name. Remembered while the processor lives, never saved. */
        juce::File file;
        /** How many host states had been applied: an editor that has shown fewer follows the newer one. */
        juce::uint32 hostStates = 0;
    };

    /** A consistent copy, safe on any thread: a host may set a state on a thread of its own while the editor
        reads what plays. */
    PlayingPreset playingPreset() const;
    juce::uint32 hostStatesApplied() const noexcept { return hostStateCount.load (std::memory_order_acquire); }

    // Working values of the delay engine, recomputed from the parameters each block.
    void updateDspFromParameters();
    void setTimeRange (int rangeIndex, int channel);

    /** The item each choice parameter of channel 0 (left) or 1 (right) selects, read from the parameter itself:
        the working values take them this way on the audio thread, and the editor shows them this way whether or
        not audio runs. They neither lock nor allocate. */
    int timeRangeChoice (int channel) const noexcept;
    int feedbackModeChoice (int channel) const noexcept;
    int lfoShapeChoice (int channel) const noexcept;

    KT_NewFloatParameter* getParameterAt (int index) const noexcept { return paramTable[(size_t) index]; }

    /** Has the parameter's value announced to the host at the start of the next block, with the value it
        has then. Values the plug-in sets itself go out this way: the wrappers pass what is announced off
        their message thread to the host after the block, so an announcement made earlier (from prepareToPlay,
        before a host restores a state) would reach the host with a value the host has since replaced. */
    void announceLater (int parameterIndex) noexcept;

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
    // The tempo and sample rate the working values were last computed for.
    juce::int32 bpmOfLastUpdate = -1;
    double sampleRateOfLastUpdate = 0.0;
    juce::uint32 lastStateLoadTime = 0;
    double lastSampleRate = 44100.0;
    double lastPushedBpm = 0.0;
    DelayEngine engine;
    // Declared after everything else it could reach, so that it is destroyed first and its thread
    // has ended before any other member goes.
    corvantis::KT_NewsfeedProcessor newsProcessor;
    bool newsfeedEnabled = true;

private:
    BrindlexAudioProcessor (const juce::File& settingsBaseFolder, const juce::String& newsServiceAddress, bool startNewsfeed);

    /** Starts, on the message thread, the link copies that parameter changes made on other threads asked for:
        starting a timer takes a lock and may allocate, which the audio thread must never do. */
    struct LinkCopyStarter : juce::Timer
    {
        explicit LinkCopyStarter (BrindlexAudioProcessor& p) : processor (p) {}
        void timerCallback() override;
        BrindlexAudioProcessor& processor;
    };

    LinkCopyStarter linkCopyStarter { *this };

    void createParameters();
    void applyDefaults();
    void announceAllLater() noexcept;
    void deliverAnnouncements();
    void announceApplied (KT_NewFloatParameter& parameter);
    void stopTimers();
    void findAndLoadStartupPreset();

    void rememberPresetFile (const juce::File& file);

    // Guards presetName and presetFile, which the host's state thread and the message thread both reach.
    // Never held while parameters are set: their listeners are the host's.
    juce::CriticalSection presetLock;
    juce::File presetFile;
    std::atomic<juce::uint32> hostStateCount { 0 };

    // One bit per parameter: the values to announce at the start of the next block.
    static_assert (ParameterTable::numParameters <= 64, "one bit per parameter");
    std::atomic<juce::uint64> pendingAnnouncements { 0 };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BrindlexAudioProcessor)
};
