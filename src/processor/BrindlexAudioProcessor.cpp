#include "BrindlexAudioProcessor.h"
#include "editor/BrindlexAudioProcessorEditor.h"

BrindlexAudioProcessor::BrindlexAudioProcessor()
    : BrindlexAudioProcessor (juce::File(), {}, true)
{
}

BrindlexAudioProcessor::BrindlexAudioProcessor (const juce::File& settingsBaseFolder, const juce::String& newsServiceAddress)
    : BrindlexAudioProcessor (settingsBaseFolder, newsServiceAddress, newsServiceAddress.isNotEmpty())
{
}

BrindlexAudioProcessor::BrindlexAudioProcessor (const juce::File& settingsBaseFolder,
                                                const juce::String& newsServiceAddress,
                                                bool startNewsfeed)
    : juce::AudioProcessor (BusesProperties()
                                .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                                .withOutput ("Output", juce::AudioChannelSet::stereo(), true)),
      settings (settingsBaseFolder),
      newsProcessor (newsServiceAddress)
{
    settings.settingsFileName = "Brindlex.aus";

    syncDivisionNames = juce::StringArray::fromTokens (ParameterTable::divisionList, "|", "");
    std::copy (ParameterTable::divisionBeats.begin(), ParameterTable::divisionBeats.end(), syncDivisionBeats.begin());

    // A preset applied during construction must never count as following a host state.
    lastStateLoadTime = juce::Time::getMillisecondCounter() - 100000u;

    createParameters();
    linkCopyStarter.startTimer (10);

    for (auto& lock : parameterLocks)
        lock.store (false, std::memory_order_relaxed);
    firstPrepare = true;
    stateLoadedBeforePrepare = false;
    lastPushedBpm = 0.0;
    hostBpm = 100;
    timeSigNumerator = 4;
    timeSigDenominator = 4;

    applyDefaults();

    settings.loadPluginSettings();
    // The settings window's "Disable Newsfeed" takes effect here, at the next start.
    newsfeedEnabled = ! settings.newsfeedDisabled;
    findAndLoadStartupPreset();

    currentPresetIndex = 0.0f;
    presetName = {};

    // Last of all, once every member exists: the news fetch runs from here until destruction.
    if (newsfeedEnabled && startNewsfeed)
        newsProcessor.start (settings.settingsPath + "newsfeed.xml", "CRVPLG8");
}

BrindlexAudioProcessor::~BrindlexAudioProcessor()
{
    stopTimers();
}

void BrindlexAudioProcessor::stopTimers()
{
    // A timer callback runs on the message thread with the framework's timer lock released, so a timer
    // stopped on another thread (a host deleting the plug-in on its own thread) may still be inside its
    // callback, walking parameters that are about to go. With the message thread held still while they
    // stop, no callback is running and none can start again.
    std::optional<juce::MessageManagerLock> messageThreadHeld;
    if (auto* mm = juce::MessageManager::getInstanceWithoutCreating(); mm != nullptr && ! mm->isThisTheMessageThread())
        messageThreadHeld.emplace();

    linkCopyStarter.stopTimer();
    for (auto* parameter : paramTable)
        parameter->stopLinkCopies();
    newsProcessor.stopTimer();
}

void BrindlexAudioProcessor::createParameters()
{
    for (size_t i = 0; i < ParameterTable::parameters.size(); ++i)
    {
        const auto& spec = ParameterTable::parameters[i];
        auto parameter = std::make_unique<KT_NewFloatParameter> (this,
                                                                 spec.id,
                                                                 spec.name,
                                                                 juce::NormalisableRange<float> (spec.start, spec.end, 0.0f, spec.skew, false),
                                                                 spec.label,
                                                                 spec.defaultValue);
        paramTable[i] = parameter.get();
        addParameter (parameter.release());
    }
}

void BrindlexAudioProcessor::LinkCopyStarter::timerCallback()
{
    for (auto* parameter : processor.paramTable)
        parameter->startPendingLinkCopy();
}

void BrindlexAudioProcessor::applyDefaults()
{
    for (auto* parameter : paramTable)
    {
        const float v = parameter->getDefaultValue();
        parameter->applyOwnValue (v);
        parameter->sendValueChangedMessageToListeners (v);
    }
}

void BrindlexAudioProcessor::announceLater (int parameterIndex) noexcept
{
    if (parameterIndex >= 0 && parameterIndex < ParameterTable::numParameters)
        pendingAnnouncements.fetch_or (juce::uint64 { 1 } << parameterIndex, std::memory_order_acq_rel);
}

void BrindlexAudioProcessor::announceAllLater() noexcept
{
    pendingAnnouncements.store (~juce::uint64 { 0 } >> (64 - ParameterTable::numParameters), std::memory_order_release);
}

void BrindlexAudioProcessor::deliverAnnouncements()
{
    // The framework offers no way to announce a value without taking the parameter's listener lock. The
    // lock stays uncontended unless the same parameter is being announced on another thread at this
    // instant, and the wrappers' listeners only store the value here: the host gets it with this block.
    auto pending = pendingAnnouncements.exchange (0, std::memory_order_acq_rel);
    for (size_t i = 0; pending != 0; ++i, pending >>= 1)
        if ((pending & 1) != 0)
            paramTable[i]->sendValueChangedMessageToListeners (paramTable[i]->getValue());
}

void BrindlexAudioProcessor::announceApplied (KT_NewFloatParameter& parameter)
{
    // On the message thread (the editor loading a preset) the host hears of it at once, as of any change
    // made in the editor; from any other thread (a host restoring its state) with the next block.
    if (juce::MessageManager::existsAndIsCurrentThread())
        parameter.sendValueChangedMessageToListeners (parameter.getValue());
    else
        announceLater (parameter.getParameterIndex());
}

void BrindlexAudioProcessor::findAndLoadStartupPreset()
{
    // A presets path from a damaged settings file may be empty or relative: it names no folder to search.
    if (! juce::File::isAbsolutePath (settings.presetsPath))
        return;

    const juce::File presetsFolder (juce::File::addTrailingSeparator (settings.presetsPath));

    for (const auto& folder : presetsFolder.findChildFiles (juce::File::findDirectories, false, "*"))
    {
        for (const auto& file : folder.findChildFiles (juce::File::findFiles, false, "*.aup"))
        {
            if (file.getFileNameWithoutExtension() == "00 - INIT")
            {
                settings.startupPresetFile = file;
                loadPresetFile (file);
                return;
            }
        }
    }
}

const juce::String BrindlexAudioProcessor::getName() const
{
    return "Brindlex";
}

void BrindlexAudioProcessor::prepareToPlay (double sampleRate, int)
{
    // Preparing resets the LFO rates and the cut filters: the next update must set them again.
    engine.prepare (sampleRate);
    parametersChanged.store (true, std::memory_order_relaxed);

    // The host hears every value again with the next block, not from here: a state that it restores
    // between this call and that block is then what it hears.
    if (firstPrepare || sampleRate != lastSampleRate)
    {
        engine.prepare (sampleRate);
        updateDspFromParameters();
        reset();

        // The first call sets the defaults (the update above has just rescaled the left tap times)
        // unless a state or preset was applied before it.
        const bool useDefaults = firstPrepare && ! stateLoadedBeforePrepare;
        for (auto* parameter : paramTable)
            parameter->applyOwnValue (useDefaults ? parameter->getDefaultValue() : parameter->getValue());

        announceAllLater();
        firstPrepare = false;
    }

    lastSampleRate = sampleRate;
}

void BrindlexAudioProcessor::releaseResources()
{
}

void BrindlexAudioProcessor::processBlockBypassed (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    deliverAnnouncements();

    if (buffer.hasBeenCleared())
        return;

    // A buffer with fewer channels than the output bus has nothing more to clear.
    const int numOutputs = juce::jmin (getTotalNumOutputChannels(), buffer.getNumChannels());
    for (int ch = getTotalNumInputChannels(); ch < numOutputs; ++ch)
        buffer.clear (ch, 0, buffer.getNumSamples());
}

double BrindlexAudioProcessor::getTailLengthSeconds() const
{
    return std::numeric_limits<double>::infinity();
}

bool BrindlexAudioProcessor::acceptsMidi() const { return false; }
bool BrindlexAudioProcessor::producesMidi() const { return false; }

juce::AudioProcessorEditor* BrindlexAudioProcessor::createEditor()
{
    return new BrindlexAudioProcessorEditor (*this);
}

bool BrindlexAudioProcessor::hasEditor() const { return true; }
int BrindlexAudioProcessor::getNumPrograms() { return 1; }
int BrindlexAudioProcessor::getCurrentProgram() { return 0; }
void BrindlexAudioProcessor::setCurrentProgram (int) {}

const juce::String BrindlexAudioProcessor::getProgramName (int)
{
    // Hosts and validators expect the one program to carry a name.
    return "Default";
}

void BrindlexAudioProcessor::changeProgramName (int, const juce::String&) {}

juce::int32 BrindlexAudioProcessor::getAAXPluginIDForMainBusConfig (const juce::AudioChannelSet& in,
                                                                    const juce::AudioChannelSet& out,
                                                                    bool idForAudioSuite) const
{
    const juce::int32 base = idForAudioSuite ? 0x6A796161 : 0x6A636161;
    const auto mono = juce::AudioChannelSet::mono();
    const auto stereo = juce::AudioChannelSet::stereo();

    if (in == mono && out == stereo)
        return base + 1;
    if (in == stereo && out == stereo)
        return base + 2;
    return base;
}

bool BrindlexAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    const auto out = layouts.getMainOutputChannelSet();
    if (out != juce::AudioChannelSet::mono() && out != juce::AudioChannelSet::stereo())
        return false;

    const auto in = layouts.getMainInputChannelSet();
    if (in == juce::AudioChannelSet::mono() && out == juce::AudioChannelSet::stereo())
        return true;

    return in == out;
}

bool BrindlexAudioProcessor::silenceInProducesSilenceOut() const { return false; }

bool BrindlexAudioProcessor::isMetaParameter (int parameterIndex) const
{
    static const char* const globals[] = { "Input", "LF Cut", "HF Cut", "Drive", "Dry", "Wet",
                                           "Link Mode", "Loop Mode", "Loop Speed", "Loop Reverse" };
    const auto& key = paramTable[(size_t) parameterIndex]->nameKey;
    for (auto* g : globals)
        if (key == g)
            return false;
    return true;
}

const juce::String BrindlexAudioProcessor::getInputChannelName (int channelIndex) const
{
    return juce::String (channelIndex + 1);
}

const juce::String BrindlexAudioProcessor::getOutputChannelName (int channelIndex) const
{
    return juce::String (channelIndex + 1);
}

bool BrindlexAudioProcessor::isInputChannelStereoPair (int) const { return true; }
bool BrindlexAudioProcessor::isOutputChannelStereoPair (int) const { return true; }

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new BrindlexAudioProcessor();
}
