#include "PresetBarTestSupport.h"
#include <map>
#include <set>

namespace
{
    /** What the walk knows plays: the file it came from ("" after a host state), its name and its WET. */
    struct Playing
    {
        juce::String path, name;
        float wet = 0.0f;
    };

    juce::String nameOf (const juce::String& path) { return juce::File (path).getFileNameWithoutExtension(); }
}

/** One seeded walk over the preset bar: choices, steps, listings, saves, deletes, reloads, files added, removed,
    renamed or broken by another instance, host states and re-opened windows, in random order. Each preset file
    holds a WET of its own, so the sound tells which one plays. After every step: the box names what plays and
    marks its file when that is listed; a load that failed was said; Delete removed at most the marked file. */
class PresetBarWalk : public PresetBarTest
{
protected:
    void SetUp() override
    {
        PresetBarTest::SetUp();
        if (presets != juce::File()) // a window opened again
            return;

        presets = juce::File (processor->settings.presetsPath);
        presets.getChildFile ("Factory/Bass").createDirectory();
        presets.getChildFile ("Mine").createDirectory();
        for (int i = 0; i < 5; ++i)
            wetOf[editor->presetMenu.pathAt (i)] = wetOfPreset (i);
        usedPaths = { wetOf.begin()->first };
        playing = { editor->presetMenu.pathAt (0), "00 - INIT", wetOfPreset (0) };
    }

    int mark() const { return editor->presetMenu.currentIndex; }
    int listed() const { return editor->presetMenu.presetPaths.size(); }
    juce::String pathAt (int i) const { return editor->presetMenu.pathAt (i); }
    bool loadable (const juce::String& path) const { return wetOf.count (path) > 0; }

    /** A WET no preset had before: every file and every save keeps its own. */
    float freshWet() { return wetCounter += 0.0011f; }

    /** A path that no file has ever had, so that a file never comes back with other contents. */
    juce::File freshPath (const juce::File& folder, const juce::String& name)
    {
        for (int n = 0;; ++n)
        {
            const auto file = folder.getChildFile (name + (n == 0 ? juce::String() : " " + juce::String (n)) + ".aup");
            if (usedPaths.insert (file.getFullPathName()).second)
                return file;
        }
    }

    juce::File anyFolder()
    {
        const juce::File folders[] = { presets, presets.getChildFile ("Factory"), presets.getChildFile ("Factory/Bass"), presets.getChildFile ("Mine") };
        return folders[random.nextInt (4)];
    }

    juce::String anyExistingPreset()
    {
        std::vector<juce::String> existing;
        for (const auto& [path, wet] : wetOf)
            if (juce::File (path).isAChildOf (presets))
                existing.push_back (path);
        for (const auto& file : presets.findChildFiles (juce::File::findFiles, true, "*.aup"))
            if (! loadable (file.getFullPathName()))
                existing.push_back (file.getFullPathName());
        return existing[(size_t) random.nextInt ((int) existing.size())];
    }

    int presetCount() const { return presets.findChildFiles (juce::File::findFiles, true, "*.aup").size(); }

    /** What a load of `path` does to the walk's picture: it plays, or the failure is expected to be said. */
    void expectLoadOf (const juce::String& path)
    {
        if (loadable (path))
            playing = { path, nameOf (path), wetOf[path] };
        else
            ++failuresToSay;
    }

    /** The step the walk takes next; returns what it did, for the report of a failure. */
    juce::String step()
    {
        switch (random.nextInt (12))
        {
            case 0:
            {
                editor->presetMenu.setPresetFolder (processor->settings.presetsPath);
                const int k = random.nextInt (listed());
                if (k != mark())
                    expectLoadOf (pathAt (k));
                corvantis::KT_PresetMenu::menuCallback (k + 1, &editor->presetMenu);
                return "choose " + pathAt (k);
            }
            case 1:
            case 2:
            {
                const bool next = random.nextBool();
                const int i = mark(), n = listed(), k = next ? (i + 1 < n ? i + 1 : 0) : (i < 1 ? n - 1 : (i <= n ? i - 1 : 0));
                if (k != i)
                    expectLoadOf (pathAt (k));
                editor->buttonClicked (next ? editor->nextButton.get() : editor->prevButton.get());
                return next ? "next" : "previous";
            }
            case 3:
                if (mark() >= 0)
                    expectLoadOf (pathAt (mark()));
                editor->buttonClicked (editor->reloadButton.get());
                return "reload";
            case 4:
            {
                const int i = mark();
                const auto target = pathAt (i);
                if (i < 0)
                    return editor->buttonClicked (editor->delButton.get()), "delete without a mark";
                if (presetCount() < 4)
                    return "no delete in a small folder";
                if (nameOf (target) != playing.name)
                    failures.add ("Delete offered " + target + ", which does not play");

                const int before = presetCount();
                editor->buttonClicked (editor->delButton.get());
                if (presetCount() < before - 1 || (presetCount() < before && juce::File (target).exists()))
                    failures.add ("Delete removed a file that was not marked");
                wetOf.erase (target);

                const int n = listed(), k = i < 1 ? n - 1 : (i <= n ? i - 1 : 0);
                if (k >= 0)
                    expectLoadOf (pathAt (k));
                return "delete " + target;
            }
            case 5:
            {
                const bool outside = random.nextInt (4) == 0;
                const auto file = outside ? freshPath (processor.folder, "Outside")
                                          : (random.nextBool() && listed() > 0 ? juce::File (pathAt (random.nextInt (listed())))
                                                                               : freshPath (anyFolder(), "Saved"));
                const float wet = freshWet();
                parameter ("WET")->setValue (wet);
                dialogs->fileToChoose = file;
                editor->buttonClicked (editor->saveButton.get());
                wetOf[file.getFullPathName()] = wet;
                playing = { file.getFullPathName(), file.getFileNameWithoutExtension(), wet };
                return "save " + file.getFullPathName();
            }
            case 6:
            {
                const juce::String names[] = { "x", "y", "00 - INIT", "02 - Two", "Added" };
                const auto file = freshPath (anyFolder(), names[random.nextInt (5)]);
                const float wet = freshWet();
                writePreset (file, wet);
                wetOf[file.getFullPathName()] = wet;
                return "outside: add " + file.getFullPathName();
            }
            case 7:
            {
                if (presetCount() < 4)
                    return "outside: nothing removed from a small folder";
                const auto path = anyExistingPreset();
                const juce::File file (path);
                const bool rename = random.nextBool();
                const auto renamed = freshPath (file.getParentDirectory(), "Renamed");
                if (rename && loadable (path))
                    wetOf[renamed.getFullPathName()] = wetOf[path];
                wetOf.erase (path);
                if (rename)
                    return file.moveFileTo (renamed), "outside: rename " + path + " to " + renamed.getFullPathName();
                return file.deleteFile(), "outside: remove " + path;
            }
            case 8:
            {
                const auto path = anyExistingPreset();
                const char* const damaged[] = { "", "not a preset", "<Brindlex_Preset Wet=\"0.", "<Other Wet=\"0.5\"/>" };
                juce::File (path).replaceWithText (damaged[random.nextInt (4)]);
                wetOf.erase (path);
                return "outside: break " + path;
            }
            case 9:
                editor->presetMenu.setPresetFolder (processor->settings.presetsPath);
                return "listing";
            case 10:
            {
                // The host sets a state naming a listed preset with that preset's sound; the box finds it by name.
                editor->presetMenu.setPresetFolder (processor->settings.presetsPath);
                const auto path = pathAt (random.nextInt (listed()));
                if (! loadable (path) || editor->presetMenu.presetNames.indexOf (nameOf (path)) != editor->presetMenu.presetPaths.indexOf (path))
                    return "no host state for " + path;
                setHostState (nameOf (path), wetOf[path]);
                editor->timerCallback();
                playing = { {}, nameOf (path), wetOf[path] };
                return "host state of " + path;
            }
            default:
                reopenEditor();
                return "window opened again";
        }
    }

    /** Everything that must hold between two steps; adds what does not to `failures`. */
    void check (int saidBefore)
    {
        const auto said = dialogs->messages.size() - saidBefore;
        if (said != failuresToSay)
            failures.add (juce::String (said) + " messages said, " + juce::String (failuresToSay) + " failed loads expected");
        if (std::abs (parameter ("WET")->getValue() - playing.wet) > 1e-6f)
            failures.add ("WET " + juce::String (parameter ("WET")->getValue()) + " plays, not " + juce::String (playing.wet) + " of " + playing.name);
        if (editor->presetMenu.getText() != playing.name)
            failures.add ("the box shows \"" + editor->presetMenu.getText() + "\", not \"" + playing.name + "\"");
        if (processor->currentPresetIndex.load() != (float) mark())
            failures.add ("the processor's position " + juce::String (processor->currentPresetIndex.load()) + " is not the mark " + juce::String (mark()));

        const int listedAt = editor->presetMenu.presetPaths.indexOf (playing.path);
        if (playing.path.isNotEmpty() && mark() != listedAt)
            failures.add ("the mark is on " + pathAt (mark()) + ", not on " + playing.path);
        if (playing.path.isEmpty() && mark() >= 0 && editor->presetMenu.nameAt (mark()) != playing.name)
            failures.add ("after a host state the mark is on " + pathAt (mark()));
    }

    juce::Random random { 20261207 };
    juce::File presets;
    std::map<juce::String, float> wetOf; // the preset files that load, with the WET each holds
    std::set<juce::String> usedPaths;
    Playing playing;
    float wetCounter = 0.0f;
    int failuresToSay = 0;
    juce::StringArray failures;
};

TEST_F (PresetBarWalk, AfterEveryStepTheBoxShowsWhatPlaysFailedLoadsAreSaidAndDeleteTakesOnlyTheMarkedFile)
{
    juce::StringArray steps;
    for (int i = 0; i < 600 && failures.isEmpty(); ++i)
    {
        const int saidBefore = dialogs->messages.size();
        failuresToSay = 0;
        steps.add (step());
        ASSERT_TRUE (pumpPosted());
        check (steps.strings.getLast().startsWith ("window") ? 0 : saidBefore);
    }

    EXPECT_TRUE (failures.isEmpty()) << failures.joinIntoString ("; ") << "\nafter the steps:\n" << steps.joinIntoString ("\n");
}
