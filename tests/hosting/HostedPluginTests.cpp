#include <gtest/gtest.h>
#include <juce_audio_processors/juce_audio_processors.h>
#include <atomic>
#include <cstdlib>
#include <thread>
#include <vector>

#include "HostingSupport.h"

// Loads the built VST3 and LV2 binaries through the framework's plug-in hosting, as a DAW does.
namespace
{
    constexpr const char* lv2Uri = "https://brindlex.example.org/plugins/brindlex";

    const char* const expectedIds[] = {
        "ILEVEL", "LFCUT", "HFCUT", "LTRANGE", "L1TIME", "L1SYNC", "L1MOD", "L1PAN", "L1LEVEL",
        "L2TIME", "L2SYNC", "L2MOD", "L2PAN", "L2LEVEL", "L3TIME", "L3SYNC", "L3MOD", "L3PAN", "L3LEVEL",
        "LFMODE", "LFTIME", "LFSYNC", "LFMOD", "LFLEVEL", "LFBK", "LFLDAMP", "LFHDAMP",
        "LMSHAPE", "LMRATE", "LMSYNC", "RTRANGE", "R1TIME", "R1SYNC", "R1MOD", "R1PAN", "R1LEVEL",
        "R2TIME", "R2SYNC", "R2MOD", "R2PAN", "R2LEVEL", "R3TIME", "R3SYNC", "R3MOD", "R3PAN", "R3LEVEL",
        "RFMODE", "RFTIME", "RFSYNC", "RFMOD", "RFLEVEL", "RFBK", "RFLDAMP", "RFHDAMP",
        "RMSHAPE", "RMRATE", "RMSYNC", "DRIVE", "DRY", "WET", "LINK", "LOOP", "LPSPEED", "LPREV"
    };

    const char* const expectedNames[] = {
        "Input", "LF Cut", "HF Cut", "L Time Range", "L1 Tap Time", "L1 Tap Sync", "L1 Tap Mod", "L1 Tap Pan", "L1 Tap Level",
        "L2 Tap Time", "L2 Tap Sync", "L2 Tap Mod", "L2 Tap Pan", "L2 Tap Level", "L3 Tap Time", "L3 Tap Sync", "L3 Tap Mod",
        "L3 Tap Pan", "L3 Tap Level", "LFB Tap Mode", "LFB Tap Time", "LFB Tap Sync", "LFB Tap Mod", "LFB Tap Level",
        "L Feedback", "LFB Low Damp", "LFB Hi Damp", "LMOD Shape", "LMOD Rate", "LMOD Sync", "R Time Range",
        "R1 Tap Time", "R1 Tap Sync", "R1 Tap Mod", "R1 Tap Pan", "R1 Tap Level", "R2 Tap Time", "R2 Tap Sync", "R2 Tap Mod",
        "R2 Tap Pan", "R2 Tap Level", "R3 Tap Time", "R3 Tap Sync", "R3 Tap Mod", "R3 Tap Pan", "R3 Tap Level",
        "RFB Tap Mode", "RFB Tap Time", "RFB Tap Sync", "RFB Tap Mod", "RFB Tap Level", "R Feedback", "RFB Low Damp",
        "RFB Hi Damp", "RMOD Shape", "RMOD Rate", "RMOD Sync", "Drive", "Dry", "Wet", "Link Mode", "Loop Mode",
        "Loop Speed", "Loop Reverse"
    };

    /** A fresh ~/.lv2 holding the built bundle, for the framework's LV2 host, which looks nowhere else. */
    struct Lv2Home
    {
        Lv2Home()
        {
            home.getChildFile (".lv2").createDirectory();
            juce::File (BRINDLEX_LV2_PATH).copyDirectoryTo (home.getChildFile (".lv2/Brindlex.lv2"));
            setenv ("HOME", home.getFullPathName().toRawUTF8(), 1);
        }

        ~Lv2Home()
        {
            setenv ("HOME", oldHome.toRawUTF8(), 1);
            home.deleteRecursively();
        }

        const juce::String oldHome = juce::SystemStats::getEnvironmentVariable ("HOME", {});
        const juce::File home = juce::File::createTempFile ("brindlex-lv2-home");
    };

    /** The plug-in's parameters as the host lists them, without the wrapper's own "Bypass". */
    juce::Array<juce::AudioProcessorParameter*> ownParameters (juce::AudioPluginInstance& instance)
    {
        juce::Array<juce::AudioProcessorParameter*> result;
        for (auto* p : instance.getParameters())
            if (p->getName (100) != "Bypass")
                result.add (p);
        return result;
    }

    /** Runs blocks of a 440 Hz sine through the instance and returns the peak of the output. */
    float processSine (juce::AudioPluginInstance& instance, int numBlocks)
    {
        instance.prepareToPlay (48000.0, 512);
        juce::AudioBuffer<float> buffer (juce::jmax (instance.getTotalNumInputChannels(), instance.getTotalNumOutputChannels()), 512);
        juce::MidiBuffer midi;
        float peak = 0.0f;
        int sample = 0;
        for (int b = 0; b < numBlocks; ++b)
        {
            buffer.clear();
            for (int i = 0; i < 512; ++i, ++sample)
                for (int ch = 0; ch < instance.getTotalNumInputChannels(); ++ch)
                    buffer.setSample (ch, i, 0.5f * std::sin (juce::MathConstants<float>::twoPi * 440.0f * (float) sample / 48000.0f));
            instance.processBlock (buffer, midi);
            for (int ch = 0; ch < instance.getTotalNumOutputChannels(); ++ch)
                peak = juce::jmax (peak, buffer.getMagnitude (ch, 0, 512));
        }
        instance.releaseResources();
        return peak;
    }

    void expectParameterTable (juce::AudioPluginInstance& instance, bool checkOrder)
    {
        auto params = ownParameters (instance);
        ASSERT_EQ (params.size(), 64);

        juce::StringArray names;
        for (auto* p : params)
            names.add (p->getName (100));

        for (int i = 0; i < 64; ++i)
        {
            if (checkOrder)
                EXPECT_EQ (names[i], expectedNames[i]) << "index " << i;
            else
                EXPECT_TRUE (names.contains (expectedNames[i])) << expectedNames[i];
        }

        auto byName = [&params] (const juce::String& name) -> juce::AudioProcessorParameter*
        {
            for (auto* p : params)
                if (p->getName (100) == name)
                    return p;
            return nullptr;
        };

        EXPECT_NEAR (byName ("RFB Tap Sync")->getDefaultValue(), 1.0f, 1.0e-4f);
        EXPECT_NEAR (byName ("LFB Tap Sync")->getDefaultValue(), 0.0f, 1.0e-4f);
        EXPECT_NEAR (byName ("LFB Tap Time")->getDefaultValue(), 0.49978f, 1.0e-4f);
        EXPECT_NEAR (byName ("R1 Tap Pan")->getDefaultValue(), 1.0f, 1.0e-4f);
        EXPECT_NEAR (byName ("L1 Tap Pan")->getDefaultValue(), 0.0f, 1.0e-4f);
    }
}

TEST (HostedVst3, ParametersLayoutsAndAudio)
{
    juce::VST3PluginFormat format;
    auto instance = load (format, BRINDLEX_VST3_PATH);
    ASSERT_NE (instance, nullptr) << "could not load " << BRINDLEX_VST3_PATH;

    EXPECT_EQ (instance->getName(), "Brindlex");
    expectParameterTable (*instance, true);

    // Parameter IDs as a VST3 host sees them: the hash of the ID with the top bit cleared.
    auto params = ownParameters (*instance);
    for (int i = 0; i < 64; ++i)
    {
        auto* withId = dynamic_cast<juce::HostedAudioProcessorParameter*> (params[i]);
        ASSERT_NE (withId, nullptr);
        const auto expected = juce::String ((juce::uint32) juce::String (expectedIds[i]).hashCode() & 0x7fffffffu);
        EXPECT_EQ (withId->getParameterID(), expected) << expectedIds[i];
    }

    using Set = juce::AudioChannelSet;
    auto layout = [] (Set in, Set out)
    {
        juce::AudioProcessor::BusesLayout l;
        l.inputBuses.add (in);
        l.outputBuses.add (out);
        return l;
    };
    EXPECT_TRUE (instance->checkBusesLayoutSupported (layout (Set::mono(), Set::mono())));
    EXPECT_TRUE (instance->checkBusesLayoutSupported (layout (Set::stereo(), Set::stereo())));
    EXPECT_TRUE (instance->checkBusesLayoutSupported (layout (Set::mono(), Set::stereo())));
    EXPECT_FALSE (instance->checkBusesLayoutSupported (layout (Set::stereo(), Set::mono())));
    EXPECT_FALSE (instance->checkBusesLayoutSupported (layout (Set::create5point1(), Set::create5point1())));

    EXPECT_GT (processSine (*instance, 40), 0.01f);
}

TEST (HostedVst3, StateRoundTripThroughAFreshInstance)
{
    juce::VST3PluginFormat format;
    juce::AudioBuffer<float> buffer (2, 512);
    juce::MidiBuffer midi;
    auto processOneBlock = [&] (juce::AudioPluginInstance& instance)
    {
        buffer.clear();
        instance.processBlock (buffer, midi);
    };

    auto source = load (format, BRINDLEX_VST3_PATH);
    ASSERT_NE (source, nullptr);
    source->prepareToPlay (48000.0, 512);
    // The wrapper passes the values of the first prepare on with the first block: set ours after it.
    processOneBlock (*source);

    auto sourceParams = ownParameters (*source);
    ASSERT_EQ (sourceParams.size(), 64);
    juce::Random random (99);
    std::vector<float> expected;
    for (auto* p : sourceParams)
    {
        const float v = p->getName (100) == "Link Mode" ? 0.0f : random.nextFloat();
        p->setValueNotifyingHost (v);
        expected.push_back (v);
    }
    processOneBlock (*source);
    processOneBlock (*source);

    for (int i = 0; i < 64; ++i)
        ASSERT_NEAR (sourceParams[i]->getValue(), expected[(size_t) i], 1.0e-6f) << sourceParams[i]->getName (100);

    juce::MemoryBlock state;
    source->getStateInformation (state);
    ASSERT_GT (state.getSize(), 9u);

    auto target = load (format, BRINDLEX_VST3_PATH);
    ASSERT_NE (target, nullptr);
    target->prepareToPlay (48000.0, 512);
    processOneBlock (*target);
    target->setStateInformation (state.getData(), (int) state.getSize());
    processOneBlock (*target);
    processOneBlock (*target);

    auto targetParams = ownParameters (*target);
    ASSERT_EQ (targetParams.size(), 64);
    for (int i = 0; i < 64; ++i)
        EXPECT_NEAR (targetParams[i]->getValue(), expected[(size_t) i], 1.0e-6f) << targetParams[i]->getName (100);

    // Nothing else of the state (preset name, editor size) was lost on the way.
    juce::MemoryBlock restored;
    target->getStateInformation (restored);
    EXPECT_TRUE (restored == state);

    source->releaseResources();
    target->releaseResources();
}

TEST (HostedLv2, ParametersAndAudio)
{
    Lv2Home home;
    juce::LV2PluginFormat format;
    auto instance = load (format, lv2Uri);
    ASSERT_NE (instance, nullptr) << "could not load " << lv2Uri;

    expectParameterTable (*instance, false);
    EXPECT_EQ (instance->getTotalNumInputChannels(), 2);
    EXPECT_EQ (instance->getTotalNumOutputChannels(), 2);
    EXPECT_GT (processSine (*instance, 40), 0.01f);
}

namespace
{
    void processBlocks (juce::AudioPluginInstance& instance, int numBlocks)
    {
        juce::AudioBuffer<float> buffer (2, 512);
        juce::MidiBuffer midi;
        for (int i = 0; i < numBlocks; ++i)
        {
            buffer.clear();
            instance.processBlock (buffer, midi);
        }
    }

    void runMessageLoop (int milliseconds)
    {
        juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
    }

    /** A project as a user leaves it: a choice, a toggle, a pan, and left and right times that differ
        while Link Mode is on. Every left tap time is set: the first prepare gives them new defaults, which
        the framework's host, unlike a DAW, does not take from the block that announces them. */
    juce::MemoryBlock saveProject (juce::AudioPluginInstance& instance, std::vector<float>& values)
    {
        instance.prepareToPlay (48000.0, 512);
        processBlocks (instance, 1);
        runMessageLoop (50);

        const std::pair<const char*, float> settings[] = {
            { "Wet", 0.8f }, { "L Feedback", 0.7f }, { "LFB Tap Mode", 1.0f }, { "Loop Reverse", 1.0f },
            { "L2 Tap Pan", 0.7f }, { "L1 Tap Time", 0.8f }, { "R1 Tap Time", 0.2f }, { "L2 Tap Time", 0.3f }, { "L3 Tap Time", 0.6f },
            { "R2 Tap Time", 0.7f }, { "L1 Tap Mod", 0.1f }, { "R1 Tap Mod", 0.9f }, { "Link Mode", 1.0f }
        };
        auto params = ownParameters (instance);
        for (auto [name, v] : settings)
            for (auto* p : params)
                if (p->getName (100) == name)
                    p->setValueNotifyingHost (v);

        processBlocks (instance, 4);
        runMessageLoop (100);
        processBlocks (instance, 2);

        values.clear();
        for (auto* p : params)
        {
            values.push_back (p->getValue());
            if (p->getName (100) == "R1 Tap Time")
                EXPECT_NEAR (p->getValue(), 0.2f, 1.0e-6f) << "the host's change was not taken";
        }

        juce::MemoryBlock state;
        instance.getStateInformation (state);
        instance.releaseResources();
        return state;
    }

    enum class HostOrder
    {
        prepareThenRestore, // a DAW: prepare on its own thread, restore, process, then its message loop
        restoreThenPrepare  // the framework's own hosting
    };

    void reopenAndCheck (juce::AudioPluginFormat& format, const juce::String& fileOrId, HostOrder order)
    {
        auto source = load (format, fileOrId);
        ASSERT_NE (source, nullptr) << "could not load " << fileOrId;
        std::vector<float> saved;
        const auto state = saveProject (*source, saved);

        auto target = load (format, fileOrId);
        ASSERT_NE (target, nullptr);
        if (order == HostOrder::prepareThenRestore)
        {
            std::atomic<bool> prepared { false };
            std::thread host ([&] { target->prepareToPlay (48000.0, 512); prepared = true; });
            while (! prepared)
                runMessageLoop (5);
            host.join();
            target->setStateInformation (state.getData(), (int) state.getSize());
        }
        else
        {
            target->setStateInformation (state.getData(), (int) state.getSize());
            target->prepareToPlay (48000.0, 512);
        }

        processBlocks (*target, 4);
        runMessageLoop (200);
        processBlocks (*target, 2);
        runMessageLoop (100);

        auto params = ownParameters (*target);
        ASSERT_EQ (params.size(), (int) saved.size());
        for (int i = 0; i < params.size(); ++i)
            EXPECT_NEAR (params[i]->getValue(), saved[(size_t) i], 1.0e-6f) << "the host reads " << params[i]->getName (100);

        juce::MemoryBlock restored;
        target->getStateInformation (restored);
        EXPECT_TRUE (restored == state) << "the plug-in's own state differs from the saved one";
        target->releaseResources();
    }
}

TEST (HostedReopen, Vst3InBothOrders)
{
    juce::VST3PluginFormat format;
    reopenAndCheck (format, BRINDLEX_VST3_PATH, HostOrder::prepareThenRestore);
    reopenAndCheck (format, BRINDLEX_VST3_PATH, HostOrder::restoreThenPrepare);
}

TEST (HostedReopen, Lv2InBothOrders)
{
    Lv2Home home;
    juce::LV2PluginFormat format;
    reopenAndCheck (format, lv2Uri, HostOrder::prepareThenRestore);
    reopenAndCheck (format, lv2Uri, HostOrder::restoreThenPrepare);
}

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    juce::ScopedJuceInitialiser_GUI juceInit;
    return RUN_ALL_TESTS();
}

TEST (HostedVst3, OpensItsEditorAtTheDesignSize)
{
    juce::VST3PluginFormat format;
    auto instance = load (format, BRINDLEX_VST3_PATH);
    ASSERT_NE (instance, nullptr) << "could not load " << BRINDLEX_VST3_PATH;
    ASSERT_TRUE (instance->hasEditor());

    for (int round = 0; round < 3; ++round)
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (instance->createEditorIfNeeded());
        ASSERT_NE (editor, nullptr);
        EXPECT_EQ (editor->getWidth(), 980);
        EXPECT_EQ (editor->getHeight(), 500);
        instance->editorBeingDeleted (editor.get());
    }
}
