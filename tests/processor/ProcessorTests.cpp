#include <gtest/gtest.h>
#include "processor/BrindlexAudioProcessor.h"
#include "TestSupport.h"

namespace
{
    struct ValueListener : juce::AudioProcessorParameter::Listener
    {
        explicit ValueListener (BrindlexAudioProcessor& p) : processor (p)
        {
            for (auto* param : processor.getParameters())
                param->addListener (this);
        }

        ~ValueListener() override
        {
            for (auto* param : processor.getParameters())
                param->removeListener (this);
        }

        void parameterValueChanged (int index, float v) override { received.push_back ({ index, v }); }
        void parameterGestureChanged (int, bool) override {}

        BrindlexAudioProcessor& processor;
        std::vector<std::pair<int, float>> received;
    };

    juce::AudioProcessor::BusesLayout layout (juce::AudioChannelSet in, juce::AudioChannelSet out)
    {
        juce::AudioProcessor::BusesLayout l;
        l.inputBuses.add (in);
        l.outputBuses.add (out);
        return l;
    }
}

TEST (Processor, IdentityAndHostFacingAnswers)
{
    TestProcessor p;
    EXPECT_EQ (p->getName(), "Brindlex");
    EXPECT_TRUE (std::isinf (p->getTailLengthSeconds()));
    EXPECT_FALSE (p->acceptsMidi());
    EXPECT_FALSE (p->producesMidi());
    EXPECT_TRUE (p->hasEditor());
    EXPECT_EQ (p->getNumPrograms(), 1);
    EXPECT_EQ (p->getCurrentProgram(), 0);
    EXPECT_EQ (p->getProgramName (0), "Default");
    EXPECT_FALSE (p->silenceInProducesSilenceOut());

    EXPECT_EQ (p->getBus (true, 0)->getName(), "Input");
    EXPECT_EQ (p->getBus (false, 0)->getName(), "Output");
    EXPECT_EQ (p->getTotalNumInputChannels(), 2);
    EXPECT_EQ (p->getTotalNumOutputChannels(), 2);

    JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
    EXPECT_EQ (p->getOutputChannelName (0), "1");
    EXPECT_EQ (p->getInputChannelName (1), "2");
    EXPECT_TRUE (p->isInputChannelStereoPair (5));
    EXPECT_TRUE (p->isOutputChannelStereoPair (0));
    EXPECT_FALSE (p->isMetaParameter (0));
    EXPECT_FALSE (p->isMetaParameter (59));
    EXPECT_TRUE (p->isMetaParameter (4));
    EXPECT_TRUE (p->isMetaParameter (56));
    int meta = 0;
    for (int i = 0; i < 64; ++i)
        meta += p->isMetaParameter (i) ? 1 : 0;
    EXPECT_EQ (meta, 54);
    JUCE_END_IGNORE_WARNINGS_GCC_LIKE

    using Set = juce::AudioChannelSet;
    EXPECT_EQ (p->getAAXPluginIDForMainBusConfig (Set::mono(), Set::mono(), false), 0x6A636161);
    EXPECT_EQ (p->getAAXPluginIDForMainBusConfig (Set::mono(), Set::stereo(), false), 0x6A636162);
    EXPECT_EQ (p->getAAXPluginIDForMainBusConfig (Set::stereo(), Set::stereo(), true), 0x6A796163);
    EXPECT_EQ (p->getAAXPluginIDForMainBusConfig (Set::stereo(), Set::mono(), true), 0x6A796161);
}

TEST (Processor, BusLayouts)
{
    TestProcessor p;
    using Set = juce::AudioChannelSet;
    EXPECT_TRUE (p->checkBusesLayoutSupported (layout (Set::mono(), Set::mono())));
    EXPECT_TRUE (p->checkBusesLayoutSupported (layout (Set::stereo(), Set::stereo())));
    EXPECT_TRUE (p->checkBusesLayoutSupported (layout (Set::mono(), Set::stereo())));
    EXPECT_FALSE (p->checkBusesLayoutSupported (layout (Set::stereo(), Set::mono())));
    EXPECT_FALSE (p->checkBusesLayoutSupported (layout (Set::disabled(), Set::stereo())));
    EXPECT_FALSE (p->checkBusesLayoutSupported (layout (Set::create5point1(), Set::create5point1())));
    EXPECT_FALSE (p->checkBusesLayoutSupported (layout (Set::stereo(), Set::quadraphonic())));
}

TEST (Processor, BypassClearsOnlyOutputsWithoutInput)
{
    TestProcessor p;
    ASSERT_TRUE (p->setBusesLayout (layout (juce::AudioChannelSet::mono(), juce::AudioChannelSet::stereo())));
    juce::AudioBuffer<float> buffer (2, 64);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < 64; ++i)
            buffer.setSample (ch, i, 0.25f + (float) ch);
    juce::MidiBuffer midi;
    p->processBlockBypassed (buffer, midi);
    EXPECT_FLOAT_EQ (buffer.getMagnitude (0, 0, 64), 0.25f);
    EXPECT_FLOAT_EQ (buffer.getMagnitude (1, 0, 64), 0.0f);

    // A host buffer narrower than the output bus is left as it is, never written past its end.
    juce::AudioBuffer<float> narrow (1, 64);
    narrow.setSample (0, 3, 0.5f);
    p->processBlockBypassed (narrow, midi);
    EXPECT_FLOAT_EQ (narrow.getSample (0, 3), 0.5f);
}

TEST (Processor, PrepareAnnouncesWithTheNextBlockAndOnlyOnTheFirstCallOrARateChange)
{
    TestProcessor p;
    auto* wet = p->getParameterAt (59);
    wet->setValue (0.9f);

    juce::AudioBuffer<float> buffer (2, 64);
    juce::MidiBuffer midi;
    auto processAndCheck = [&] (ValueListener& listener, size_t expectedCount)
    {
        buffer.clear();
        p->processBlock (buffer, midi);
        ASSERT_EQ (listener.received.size(), expectedCount);
        for (auto& [index, v] : listener.received)
            EXPECT_FLOAT_EQ (v, p->getParameters()[index]->getValue());
        listener.received.clear();
    };

    ValueListener listener (*p);
    p->prepareToPlay (48000.0, 512);
    EXPECT_TRUE (listener.received.empty()) << "a host may still restore its state before the first block";
    EXPECT_FLOAT_EQ (wet->getValue(), 0.5f) << "without a state applied, the first call sets the defaults";
    EXPECT_FALSE (p->firstPrepare);
    processAndCheck (listener, 64);

    wet->setValue (0.7f);
    p->prepareToPlay (48000.0, 256);
    processAndCheck (listener, 0);

    p->prepareToPlay (44100.0, 256);
    processAndCheck (listener, 64);
    EXPECT_FLOAT_EQ (wet->getValue(), 0.7f);
    EXPECT_EQ (p->lastSampleRate, 44100.0);
}

TEST (Processor, AStateAppliedBeforeTheFirstPrepareIsAnnouncedWithTheFirstBlock)
{
    TestProcessor source;
    source->getParameterAt (59)->setValue (0.9f);
    source->getParameterAt (57)->setValue (0.4f);
    juce::MemoryBlock state;
    source->getStateInformation (state);

    TestProcessor p;
    p->setStateInformation (state.getData(), (int) state.getSize());
    EXPECT_TRUE (p->stateLoadedBeforePrepare);

    ValueListener listener (*p);
    p->prepareToPlay (48000.0, 512);
    juce::AudioBuffer<float> buffer (2, 64);
    juce::MidiBuffer midi;
    buffer.clear();
    p->processBlock (buffer, midi);
    EXPECT_EQ (listener.received.size(), 64u);
    EXPECT_FLOAT_EQ (p->getParameterAt (59)->getValue(), 0.9f);
    EXPECT_FLOAT_EQ (p->getParameterAt (57)->getValue(), 0.4f);
}
