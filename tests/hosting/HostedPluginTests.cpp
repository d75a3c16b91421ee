#include <gtest/gtest.h>
#include <juce_audio_processors/juce_audio_processors.h>
#include <atomic>
#include <cstdlib>
#include <dlfcn.h>
#include <thread>
#include <vector>

#include "HostingSupport.h"
#include "processor/ParameterTable.h"

// Loads the built VST3 and LV2 binaries through the framework's plug-in hosting, as a DAW does.
namespace
{
    constexpr const char* lv2Uri = "https://brindlex.example.org/plugins/brindlex";

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
        {
            const auto* expected = ParameterTable::parameters[(size_t) i].name;
            if (checkOrder)
                EXPECT_EQ (names[i], expected) << "index " << i;
            else
                EXPECT_TRUE (names.contains (expected)) << expected;
        }
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

    auto params = ownParameters (*instance);
    for (int i = 0; i < 64; ++i)
    {
        auto* withId = dynamic_cast<juce::HostedAudioProcessorParameter*> (params[i]);
        ASSERT_NE (withId, nullptr);
        const juce::String id (ParameterTable::parameters[(size_t) i].id);
        EXPECT_EQ (withId->getParameterID(), juce::String ((juce::uint32) id.hashCode() & 0x7fffffffu)) << id;
    }

    using Set = juce::AudioChannelSet;
    auto layout = [] (Set in, Set out) { return juce::AudioProcessor::BusesLayout { { in }, { out } }; };
    EXPECT_TRUE (instance->checkBusesLayoutSupported (layout (Set::mono(), Set::mono())));
    EXPECT_TRUE (instance->checkBusesLayoutSupported (layout (Set::stereo(), Set::stereo())));
    EXPECT_TRUE (instance->checkBusesLayoutSupported (layout (Set::mono(), Set::stereo())));
    EXPECT_FALSE (instance->checkBusesLayoutSupported (layout (Set::stereo(), Set::mono())));
    EXPECT_FALSE (instance->checkBusesLayoutSupported (layout (Set::create5point1(), Set::create5point1())));

    EXPECT_GT (processSine (*instance, 40), 0.01f);
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
            // The framework's LV2 host reads its plug-in instance from a message queued while loading, and its
            // prepareToPlay replaces that instance without a lock: that message goes first, as in a DAW, whose
            // host is its own.
            runMessageLoop (50);
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
    // The built VST3 stays mapped until the process has ended. Unloaded when the framework shuts down, it leaves
    // memory the leak checker still scans at exit, and that scan then now and then crashes the checker itself
    // (clang 14's LeakSanitizer, in ScanRangeForPointers, about one run in fifteen on two busy cores).
    for (const auto& binary : juce::File (BRINDLEX_VST3_PATH).findChildFiles (juce::File::findFiles, true, "*.so"))
        dlopen (binary.getFullPathName().toRawUTF8(), RTLD_NOW | RTLD_NODELETE);

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
