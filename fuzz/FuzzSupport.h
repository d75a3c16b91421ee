#pragma once

#include <juce_events/juce_events.h>
#include <cstddef>
#include <cstdint>
#include <unistd.h>

/** What every fuzz target shares: the framework started once for the whole run, and a scratch folder
    of this process's own, so that targets running side by side never read each other's files.
    What a target keeps for the whole run is created with new and never deleted: libFuzzer ends the
    process with exit(), and static destructors would then run after the framework's own. */
namespace FuzzSupport
{
    inline juce::File scratchFolder()
    {
        static const auto* juceInit = new juce::ScopedJuceInitialiser_GUI();
        juce::ignoreUnused (juceInit);
        static const auto folder = [] {
            auto f = juce::File::getSpecialLocation (juce::File::tempDirectory)
                         .getChildFile ("brindlex-fuzz-" + juce::String ((int) getpid()));
            f.createDirectory();
            return f;
        }();
        return folder;
    }

    /** Replaces the file's content with the fuzzer's input, byte for byte. */
    inline void writeInput (const juce::File& file, const uint8_t* data, size_t size)
    {
        file.getParentDirectory().createDirectory();
        file.replaceWithData (data, size);
    }
}
