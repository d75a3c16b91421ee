#include <gtest/gtest.h>
#include <juce_audio_processors/juce_audio_processors.h>
#include <cmath>
#include <thread>

#include "HostingSupport.h"

// What plug-in validators do to the built VST3: odd rates and block sizes, noise, parameters moved while
// audio runs, state set from another thread. The output must stay finite and free of subnormal numbers.
namespace
{
    struct OutputCheck
    {
        int nonFinite = 0;
        int subnormal = 0;
        float peak = 0.0f;

        void scan (const juce::AudioBuffer<float>& buffer, int numChannels)
        {
            for (int ch = 0; ch < numChannels; ++ch)
                for (int i = 0; i < buffer.getNumSamples(); ++i)
                {
                    const float x = buffer.getSample (ch, i);
                    nonFinite += std::isfinite (x) ? 0 : 1;
                    subnormal += std::fpclassify (x) == FP_SUBNORMAL ? 1 : 0;
                    peak = std::isfinite (x) ? juce::jmax (peak, std::abs (x)) : peak;
                }
        }
    };

    void fillNoise (juce::AudioBuffer<float>& buffer, juce::Random& random)
    {
        for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
            for (int i = 0; i < buffer.getNumSamples(); ++i)
                buffer.setSample (ch, i, random.nextFloat() * 2.0f - 1.0f);
    }

    void randomiseParameters (juce::AudioPluginInstance& instance, juce::Random& random)
    {
        for (auto* parameter : instance.getParameters())
            if (parameter->getName (100) != "Bypass")
                parameter->setValueNotifyingHost (random.nextFloat());
    }
}

TEST (HostedValidation, NoiseAtOddRatesAndBlockSizesWithParametersMovingStaysFinite)
{
    juce::VST3PluginFormat format;
    auto instance = load (format, BRINDLEX_VST3_PATH);
    ASSERT_NE (instance, nullptr);

    juce::Random random (7);
    juce::MidiBuffer midi;

    for (const double rate : { 22050.0, 12345.678, 32000.0, 44100.0, 48000.0, 96000.0, 192000.0, 1234567.0 })
    {
        for (const int blockSize : { 1, 32, 441, 1024 })
        {
            instance->releaseResources();
            instance->setRateAndBufferSizeDetails (rate, blockSize);
            instance->prepareToPlay (rate, blockSize);

            // The defaults first, then the parameters moved at random every 2048 samples.
            juce::AudioBuffer<float> buffer (2, blockSize);
            OutputCheck check;
            const int numBlocks = juce::jmax (8, 16384 / blockSize);
            for (int b = 0; b < numBlocks; ++b)
            {
                if (b == numBlocks / 2)
                    EXPECT_LT (check.peak, 100.0f) << rate << " Hz, block " << blockSize << ", defaults";
                if (b >= numBlocks / 2 && (b * blockSize) % 2048 < blockSize)
                    randomiseParameters (*instance, random);
                fillNoise (buffer, random);
                instance->processBlock (buffer, midi);
                check.scan (buffer, 2);
            }

            EXPECT_EQ (check.nonFinite, 0) << rate << " Hz, block " << blockSize;
            EXPECT_EQ (check.subnormal, 0) << rate << " Hz, block " << blockSize;
        }
    }
}

TEST (HostedValidation, StateSetFromAnotherThreadWhileTheEditorIsOpen)
{
    juce::VST3PluginFormat format;
    auto instance = load (format, BRINDLEX_VST3_PATH);
    ASSERT_NE (instance, nullptr);
    instance->prepareToPlay (44100.0, 512);

    std::unique_ptr<juce::AudioProcessorEditor> editor (instance->createEditorIfNeeded());
    ASSERT_NE (editor, nullptr);

    juce::Random random (5);
    randomiseParameters (*instance, random);
    juce::MemoryBlock state;
    instance->getStateInformation (state);

    std::thread worker ([&instance, &state]
    {
        for (int i = 0; i < 20; ++i)
            instance->setStateInformation (state.getData(), (int) state.getSize());
    });

    // The message thread keeps running the editor's timer meanwhile.
    for (int i = 0; i < 10; ++i)
        juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    worker.join();

    juce::MemoryBlock after;
    instance->getStateInformation (after);
    EXPECT_EQ (after, state);

    instance->editorBeingDeleted (editor.get());
}
