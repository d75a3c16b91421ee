// Writes the factory presets with the plug-in's own preset writer, so that every file is exactly what the
// editor's preset save would produce. Usage: BrindlexPresetWriter <output folder>

#include <juce_events/juce_events.h>
#include <cstdlib>
#include <iostream>
#include "processor/BrindlexAudioProcessor.h"

namespace
{
    /** A processor reset to its defaults for each preset, with setters in the units the editor shows. */
    class PresetBuilder
    {
    public:
        explicit PresetBuilder (const juce::File& scratchFolder) : processor (scratchFolder) {}

        void start (const juce::String& name)
        {
            for (auto* parameter : processor.getParameters())
                parameter->setValue (parameter->getDefaultValue());
            processor.presetName = name;
        }

        /** Plain value in the parameter's own unit (ms, %, dB, Hz). */
        void set (const juce::String& parameterName, float plain)
        {
            auto& parameter = find (parameterName);
            parameter.setValue (parameter.getRange().convertTo0to1 (plain));
        }

        /** A choice (time range, LFO shape): the middle of the choice's span, so its integer part is exact. */
        void choose (const juce::String& parameterName, int index)
        {
            set (parameterName, (float) index + 0.5f);
        }

        void on (const juce::String& parameterName) { find (parameterName).setValue (1.0f); }

        /** Tempo sync on, with the time or rate parameter placed in the middle of the division's slot. */
        void sync (const juce::String& prefix, const juce::String& timeName, const juce::String& division)
        {
            const int index = processor.syncDivisionNames.indexOf (division);
            jassert (index >= 0);
            on (prefix + " Sync");
            auto& time = find (prefix + " " + timeName);
            time.setValue (juce::jmin (1.0f, time.divisionRange.convertTo0to1 ((float) index + 0.5f)));
        }

        void mute (const juce::String& tap) { set (tap + " Tap Level", -60.0f); }

        bool write (const juce::File& folder)
        {
            processor.writingPresetFile = true;
            juce::XmlElement element ("Brindlex_Preset");
            processor.writePresetXml (element);
            processor.writingPresetFile = false;
            return element.writeTo (folder.getChildFile (processor.presetName + ".aup"));
        }

    private:
        KT_NewFloatParameter& find (const juce::String& name)
        {
            for (auto* parameter : processor.paramTable)
                if (parameter->getName (100) == name)
                    return *parameter;

            std::cerr << "unknown parameter " << name << std::endl;
            std::exit (1);
        }

        BrindlexAudioProcessor processor;
    };

    void writeAll (PresetBuilder& b, const juce::File& folder, bool& ok)
    {
        b.start ("00 - INIT");
        ok = b.write (folder) && ok;

        b.start ("01 - Dotted Eighth");
        for (auto side : { "L", "R" })
        {
            const juce::String s (side);
            b.sync (s + "1 Tap", "Time", "1/8d");
            b.set (s + "1 Tap Pan", s == "L" ? -40.0f : 40.0f);
            b.set (s + "1 Tap Mod", 5.0f);
            b.mute (s + "2");
            b.mute (s + "3");
            b.sync (s + "FB Tap", "Time", "1/8d");
            b.set (s + "FB Tap Mod", 5.0f);
            b.set (s + " Feedback", 45.0f);
            b.set (s + "FB Low Damp", 20.0f);
            b.set (s + "FB Hi Damp", 35.0f);
            b.set (s + "MOD Rate", 0.3f);
        }
        b.choose ("RMOD Shape", 1);
        b.set ("LF Cut", 80.0f);
        b.set ("HF Cut", 9000.0f);
        b.set ("Wet", 40.0f);
        ok = b.write (folder) && ok;

        b.start ("02 - Ping Pong Cross");
        b.sync ("L1 Tap", "Time", "1/4");
        b.sync ("R1 Tap", "Time", "1/2");
        for (auto side : { "L", "R" })
        {
            const juce::String s (side);
            b.mute (s + "2");
            b.mute (s + "3");
            b.on (s + "FB Tap Mode");
            b.sync (s + "FB Tap", "Time", "1/4");
            b.set (s + "1 Tap Mod", 0.0f);
            b.set (s + "FB Tap Mod", 0.0f);
            b.set (s + " Feedback", 55.0f);
            b.set (s + "FB Low Damp", 15.0f);
            b.set (s + "FB Hi Damp", 25.0f);
        }
        b.set ("LF Cut", 100.0f);
        b.set ("Wet", 45.0f);
        ok = b.write (folder) && ok;

        b.start ("03 - Modulated Multi-Tap");
        {
            const float times[2][3] = { { 45.0f, 95.0f, 140.0f }, { 60.0f, 115.0f, 170.0f } };
            const float pans[2][3] = { { -80.0f, -30.0f, 20.0f }, { 80.0f, 30.0f, -20.0f } };
            const float levels[3] = { -3.0f, -6.0f, -9.0f };
            for (int side = 0; side < 2; ++side)
            {
                const juce::String s (side == 0 ? "L" : "R");
                for (int tap = 0; tap < 3; ++tap)
                {
                    const auto t = s + juce::String (tap + 1) + " Tap ";
                    b.set (t + "Time", times[side][tap]);
                    b.set (t + "Pan", pans[side][tap]);
                    b.set (t + "Level", levels[tap]);
                    b.set (t + "Mod", 35.0f);
                }
                b.set (s + "FB Tap Time", side == 0 ? 190.0f : 210.0f);
                b.set (s + "FB Tap Level", -6.0f);
                b.set (s + "FB Tap Mod", 35.0f);
                b.set (s + " Feedback", 35.0f);
                b.set (s + "FB Low Damp", 10.0f);
                b.set (s + "FB Hi Damp", 40.0f);
            }
            b.set ("RFB Tap Sync", 0.0f);
            b.choose ("LMOD Shape", 2);
            b.set ("LMOD Rate", 0.8f);
            b.choose ("RMOD Shape", 10);
            b.set ("RMOD Rate", 0.6f);
            b.set ("Wet", 35.0f);
        }
        ok = b.write (folder) && ok;

        b.start ("04 - Dark Tape Echo");
        for (auto side : { "L", "R" })
        {
            const juce::String s (side);
            const bool left = s == "L";
            b.set (s + "1 Tap Time", left ? 340.0f : 360.0f);
            b.set (s + "1 Tap Pan", left ? -25.0f : 25.0f);
            b.set (s + "1 Tap Mod", 12.0f);
            b.mute (s + "2");
            b.mute (s + "3");
            b.set (s + "FB Tap Sync", 0.0f);
            b.set (s + "FB Tap Time", left ? 340.0f : 360.0f);
            b.set (s + "FB Tap Mod", 12.0f);
            b.set (s + " Feedback", 62.0f);
            b.set (s + "FB Low Damp", 35.0f);
            b.set (s + "FB Hi Damp", 75.0f);
            b.choose (s + "MOD Shape", 10);
            b.set (s + "MOD Rate", left ? 0.5f : 0.45f);
        }
        b.set ("Drive", 40.0f);
        b.set ("LF Cut", 120.0f);
        b.set ("HF Cut", 3800.0f);
        b.set ("Wet", 45.0f);
        ok = b.write (folder) && ok;

        b.start ("05 - Slapback");
        for (auto side : { "L", "R" })
        {
            const juce::String s (side);
            const bool left = s == "L";
            b.set (s + "1 Tap Time", left ? 90.0f : 105.0f);
            b.set (s + "1 Tap Pan", left ? -30.0f : 30.0f);
            b.set (s + "1 Tap Mod", 0.0f);
            b.mute (s + "2");
            b.mute (s + "3");
            b.set (s + "FB Tap Sync", 0.0f);
            b.set (s + "FB Tap Time", left ? 90.0f : 105.0f);
            b.set (s + " Feedback", 10.0f);
            b.set (s + "FB Hi Damp", 30.0f);
        }
        b.set ("Wet", 40.0f);
        ok = b.write (folder) && ok;

        b.start ("06 - Loop Freeze");
        b.on ("Loop Mode");
        b.set ("Loop Speed", 100.0f);
        b.set ("Wet", 80.0f);
        ok = b.write (folder) && ok;

        b.start ("07 - Reverse Half-Speed Loop");
        b.on ("Loop Mode");
        b.on ("Loop Reverse");
        b.set ("Loop Speed", 50.0f);
        b.set ("LF Cut", 150.0f);
        b.set ("HF Cut", 6000.0f);
        b.set ("Wet", 70.0f);
        ok = b.write (folder) && ok;
    }
}

int main (int argc, char** argv)
{
    if (argc != 2)
    {
        std::cerr << "usage: BrindlexPresetWriter <output folder>" << std::endl;
        return 2;
    }

    juce::ScopedJuceInitialiser_GUI juceInit;
    const auto folder = juce::File::getCurrentWorkingDirectory().getChildFile (juce::String::fromUTF8 (argv[1]));
    if (! folder.createDirectory())
    {
        std::cerr << "cannot create " << folder.getFullPathName() << std::endl;
        return 1;
    }

    // The processor must not read the user's settings or start-up preset: give it an empty scratch folder.
    const juce::TemporaryFile scratch;
    scratch.getFile().createDirectory();

    bool ok = true;
    {
        PresetBuilder builder (scratch.getFile());
        writeAll (builder, folder, ok);
    }
    scratch.getFile().deleteRecursively();

    std::cout << (ok ? "wrote" : "failed to write") << " factory presets in " << folder.getFullPathName() << std::endl;
    return ok ? 0 : 1;
}
