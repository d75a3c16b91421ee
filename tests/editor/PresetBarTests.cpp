#include "PresetBarTestSupport.h"
#include <atomic>
#include <thread>

// The preset bar and the preset browser, driven through the real editor over five real preset files.

TEST_F (PresetBarTest, PreviousAndNextWrapTheBrowserMenuLoadsAndReloadRestoresTheFileOnOkOnly)
{
    click (editor->prevButton);
    expectSelected (4, wetOfPreset (4));
    EXPECT_EQ (editor->currentPresetName, "04 - Four");
    click (editor->nextButton);
    expectSelected (0, wetOfPreset (0));

    // A choice in the browser's menu loads that file; a dismissed menu changes nothing.
    for (const int item : { 3, 0 })
    {
        corvantis::KT_PresetMenu::menuCallback (item, &editor->presetMenu);
        ASSERT_TRUE (pumpPosted());
        expectSelected (2, wetOfPreset (2));
    }

    parameter ("WET")->setValue (0.9f);
    answerAndClick (false, editor->reloadButton);
    EXPECT_FLOAT_EQ (parameter ("WET")->getValue(), 0.9f);
    answerAndClick (true, editor->reloadButton);
    expectSelected (2, wetOfPreset (2));
    EXPECT_EQ (dialogs->questions.size(), 2);
}

TEST_F (PresetBarTest, SaveWritesAPresetWithoutEditorSizeListsAndSelectsIt)
{
    // Typed without the extension, as a user may: the preset still gets it, or the browser would not list it.
    const auto target = juce::File (processor->settings.presetsPath).getChildFile ("My Echo.aup");
    dialogs->fileToChoose = target.withFileExtension ({});
    parameter ("WET")->setValue (0.33f);
    click (editor->saveButton);

    EXPECT_EQ (dialogs->chooserTitles, juce::StringArray ("Save Preset"));
    const auto xml = juce::parseXML (target);
    ASSERT_TRUE (xml != nullptr && xml->hasTagName ("Brindlex_Preset"));
    EXPECT_EQ (xml->getNumAttributes(), 68);
    EXPECT_FALSE (xml->hasAttribute ("CurrentWidth") || xml->hasAttribute ("CurrentHeight"));
    EXPECT_NEAR (xml->getDoubleAttribute ("Wet"), 0.33, 1e-6);
    EXPECT_EQ (processor->presetName, "My Echo");
    expectSelected (editor->presetMenu.presetNames.indexOf ("My Echo"), 0.33f);
    EXPECT_TRUE (dialogs->messages.isEmpty());
}

TEST_F (PresetBarTest, SaveSelectsTheFileWrittenByItsPathOrNoneOutsideTheFolderAndKeepsTheSoundAlsoInANewEditor)
{
    // An "x" in a sub-folder comes first in the menu; another "x" is then saved outside the presets folder.
    const auto factory = juce::File (editor->presetMenu.pathAt (0)).getParentDirectory(), bass = factory.getChildFile ("Bass/x.aup");
    ASSERT_TRUE (bass.create() && bass.replaceWithText ("<Brindlex_Preset presetName=\"x\" Wet=\"0.8\"/>"));
    parameter ("WET")->setValue (0.33f);
    for (const auto& target : { factory.getChildFile ("x.aup"), processor.folder.getChildFile ("x.aup") })
    {
        dialogs->fileToChoose = target;
        click (editor->saveButton);
        EXPECT_EQ (editor->presetMenu.getText(), target.getFileNameWithoutExtension());
        EXPECT_EQ (editor->presetMenu.pathAt (editor->presetMenu.currentIndex), target.isAChildOf (factory) ? target.getFullPathName() : "");
        EXPECT_NEAR (parameter ("WET")->getValue(), 0.33f, 1e-6f);
    }

    // A new editor shows what plays without a position: the sound saved outside, then a host state without a name.
    reopenEditor();
    EXPECT_EQ (editor->presetMenu.getText(), "x");
    EXPECT_EQ (processor->currentPresetIndex.load(), -1.0f);
    EXPECT_NEAR (parameter ("WET")->getValue(), 0.33f, 1e-6f);
    juce::MemoryBlock unnamed;
    juce::AudioProcessor::copyXmlToBinary (juce::XmlElement ("Brindlex_Preset"), unnamed);
    processor->setStateInformation (unnamed.getData(), (int) unnamed.getSize());
    reopenEditor();
    EXPECT_TRUE (editor->presetMenu.getText().isEmpty() && editor->presetMenu.currentIndex == -1);
    click (editor->nextButton);
    expectSelected (0, wetOfPreset (0));
}

TEST_F (PresetBarTest, ANewEditorMarksTheFileThatPlaysSoThatReloadAndDeleteActOnThatFile)
{
    const juce::File presets (processor->settings.presetsPath);
    const auto one = presets.getChildFile ("Factory/01 - One.aup"), bassX = presets.getChildFile ("Factory/Bass/x.aup");
    ASSERT_TRUE (bassX.create() && bassX.replaceWithText ("<Brindlex_Preset presetName=\"x\" Wet=\"0.8\"/>"));
    const auto copyB = presets.getChildFile ("Mine/B.aup"), link = processor.folder.getChildFile ("Linked presets");
    ASSERT_TRUE (copyB.getParentDirectory().createDirectory() && one.copyFileTo (copyB) && presets.createSymbolicLink (link, true));

    const auto save = [this] (const juce::File& target)
    {
        parameter ("WET")->setValue (0.33f);
        dialogs->fileToChoose = target;
        click (editor->saveButton);
        return target;
    };
    const auto listPresetsThroughTheLink = [&] { processor->settings.presetsPath = link.getFullPathName() + "/"; reopenEditor(); };

    // What plays, the sound it holds, and a preset of the same name or content that must be left alone. Through the
    // link the folder is listed by one path while the file chooser answers with the other.
    const struct { const char* what; std::function<juce::File()> play; float wet; juce::File other; } rows[] = {
        { "saved beside a preset of the same name", [&] { return save (presets.getChildFile ("Factory/x.aup")); }, 0.33f, bassX },
        { "a copy under another name, chosen in the browser", [&] { choose (copyB); return copyB; }, wetOfPreset (1), one },
        { "saved into a presets folder reached through a link", [&] { listPresetsThroughTheLink(); return save (presets.getChildFile ("z.aup")); }, 0.33f, one },
    };

    const auto expectMarked = [this] (const juce::File& file)
    {
        const int index = editor->presetMenu.currentIndex;
        EXPECT_EQ (editor->presetMenu.getText(), file.getFileNameWithoutExtension());
        EXPECT_EQ (processor->currentPresetIndex.load(), (float) index);
        EXPECT_EQ (juce::File (editor->presetMenu.pathAt (index)).getFileIdentifier(), file.getFileIdentifier());
    };

    for (const auto& row : rows)
    {
        SCOPED_TRACE (row.what);
        const auto file = row.play();
        expectMarked (file);
        reopenEditor();
        expectMarked (file);

        parameter ("WET")->setValue (0.9f);
        answerAndClick (true, editor->reloadButton);
        EXPECT_NEAR (parameter ("WET")->getValue(), row.wet, 1e-6f);
        answerAndClick (true, editor->delButton);
        EXPECT_EQ (dialogs->questions.strings.getLast(), "Do you want to permanently delete " + file.getFileNameWithoutExtension() + "?");
        EXPECT_FALSE (file.exists());
        EXPECT_TRUE (row.other.existsAsFile());
    }
}

TEST_F (PresetBarTest, ANewEditorFindsThePresetByNameAfterAHostStateButMarksNoOtherFileOnceTheFileThatPlayedIsGone)
{
    // A copy of "02 - Two" under another name: the name stored inside it is the original's.
    const auto two = juce::File (editor->presetMenu.pathAt (2)), copy = two.getSiblingFile ("B.aup");
    ASSERT_TRUE (two.copyFileTo (copy));
    choose (copy);
    juce::MemoryBlock state;
    processor->getStateInformation (state);
    processor->setStateInformation (state.getData(), (int) state.getSize());
    reopenEditor();
    expectSelected (2, wetOfPreset (2));
    EXPECT_EQ (editor->presetMenu.getText(), "02 - Two");

    // Removed outside the plug-in, then the window opened again: its name at no position, and Reload and Delete,
    // answered with OK, touch no file and leave the sound alone.
    choose (copy);
    parameter ("WET")->setValue (0.9f);
    ASSERT_TRUE (copy.deleteFile());
    reopenEditor();
    EXPECT_EQ (editor->presetMenu.currentIndex, -1);
    EXPECT_EQ (processor->currentPresetIndex.load(), -1.0f);
    EXPECT_EQ (editor->presetMenu.getText(), "B");
    answerAndClick (true, editor->reloadButton);
    answerAndClick (true, editor->delButton);
    EXPECT_TRUE (dialogs->questions.isEmpty());
    EXPECT_EQ (two.getParentDirectory().findChildFiles (juce::File::findFiles, false, "*.aup").size(), 5);
    EXPECT_NEAR (parameter ("WET")->getValue(), 0.9f, 1e-6f);
}

TEST_F (PresetBarTest, DeleteOfTheFirstOfThreeMovesToTheLastThenOfTwoLoadsTheOneLeftAndCancelKeepsTheFile)
{
    for (int i = 3; i < 5; ++i)
        juce::File (editor->presetMenu.pathAt (i)).deleteFile();
    editor->presetMenu.setPresetFolder (processor->settings.presetsPath);
    const juce::File first (editor->presetMenu.pathAt (0));

    answerAndClick (false, editor->delButton);
    EXPECT_TRUE (first.existsAsFile());
    answerAndClick (true, editor->delButton);

    EXPECT_EQ (dialogs->questions[1], "Do you want to permanently delete 00 - INIT?");
    EXPECT_FALSE (first.exists());
    EXPECT_EQ (editor->presetMenu.presetNames, juce::StringArray ({ "01 - One", "02 - Two" }));
    expectSelected (1, wetOfPreset (2));

    // The one left moves up to the position that was loaded: it must be loaded all the same.
    click (editor->prevButton);
    answerAndClick (true, editor->delButton);
    expectSelected (0, wetOfPreset (2));
}

TEST_F (PresetBarTest, ACancelledSaveWritesNothingAndAFailedSaveOrDeleteSaysSoAndChangesNothing)
{
    const auto before = editor->presetMenu.presetNames;
    click (editor->saveButton);
    dialogs->fileToChoose = processor.folder.getChildFile ("missing/Lost.aup");
    click (editor->saveButton);
    EXPECT_NE (processor->presetName, "Lost");

    // A folder now stands where the current preset was, with a file in it: the preset cannot be removed.
    const juce::File current (editor->presetMenu.pathAt (0));
    current.deleteFile();
    current.getChildFile ("keep").create();
    click (editor->delButton);

    ASSERT_EQ (dialogs->messages.size(), 2);
    EXPECT_TRUE (dialogs->messages[0].contains ("Lost.aup") && dialogs->messages[0].contains ("not saved"));
    EXPECT_TRUE (dialogs->messages[1].contains ("00 - INIT.aup") && dialogs->messages[1].contains ("not deleted"));
    EXPECT_EQ (editor->presetMenu.presetNames, before);
    expectSelected (0, wetOfPreset (0));
}

TEST_F (PresetBarTest, RandomKeepsLockedLoopAndLinkValuesAndEndsSyncSwitchesOnOrOff)
{
    const juce::StringArray kept { "L1TIME", "LINK", "LOOP", "LPSPEED", "LPREV" };
    const int l1Time = parameter ("L1TIME")->getParameterIndex();
    processor->parameterLocks[(size_t) l1Time] = true;
    for (auto* slider : editor->sliderList)
        slider->locked = slider->paramIndex == l1Time;

    for (int round = 0; round < 3; ++round)
    {
        const auto before = valuesOf (*processor);
        click (editor->randButton);

        for (auto* p : processor->paramTable)
        {
            const float now = p->getValue(), was = before[(size_t) p->getParameterIndex()];
            if (kept.contains (p->paramID))
                EXPECT_EQ (now, was) << p->paramID;
            else if (p->paramID.endsWith ("SYNC"))
                EXPECT_TRUE (now == 0.0f || now == 1.0f) << p->paramID << " " << now;
            else
                EXPECT_NE (now, was) << p->paramID;
        }
    }
}

TEST_F (PresetBarTest, AChoiceOrStepOntoAnotherPresetOfTheNameShownLoadsItButAChoiceOfWhatPlaysLoadsNothing)
{
    // The two "x" stand side by side in the menu, the one in the sub-folder first.
    const auto factory = juce::File (editor->presetMenu.pathAt (0)).getParentDirectory();
    const auto bassX = factory.getChildFile ("Bass/x.aup"), x = factory.getChildFile ("x.aup");
    ASSERT_TRUE (writePreset (bassX, 0.8f) && writePreset (x, 0.6f));
    choose (bassX);

    const struct { const char* how; std::function<void()> step; float wet; } steps[] = {
        { "the other chosen in the browser", [&] { choose (x); }, 0.6f },
        { "previous", [&] { click (editor->prevButton); }, 0.8f },
        { "next", [&] { click (editor->nextButton); }, 0.6f },
    };
    for (const auto& step : steps)
    {
        SCOPED_TRACE (step.how);
        step.step();
        EXPECT_EQ (editor->presetMenu.getText(), "x");
        EXPECT_NEAR (parameter ("WET")->getValue(), step.wet, 1e-6f);
    }

    parameter ("WET")->setValue (0.9f);
    choose (x);
    EXPECT_NEAR (parameter ("WET")->getValue(), 0.9f, 1e-6f);
}

TEST_F (PresetBarTest, TheBrowserOpenedAfterTheFolderChangedKeepsTheMarkOnTheFileThatPlaysOrMarksNoneOnceItIsGone)
{
    showOnDesktop();
    const auto factory = juce::File (editor->presetMenu.pathAt (0)).getParentDirectory();
    const auto two = factory.getChildFile ("02 - Two.aup"), three = factory.getChildFile ("03 - Three.aup");
    choose (two);

    // Another instance saves a preset that sorts before the one that plays.
    ASSERT_TRUE (writePreset (factory.getChildFile ("01 - Added.aup"), 0.45f));
    openAndDismissBrowser();
    EXPECT_EQ (markedPath(), two.getFullPathName());
    EXPECT_EQ (processor->currentPresetIndex.load(), (float) editor->presetMenu.currentIndex);
    answerAndClick (false, editor->delButton);
    EXPECT_EQ (dialogs->questions.strings.getLast(), "Do you want to permanently delete 02 - Two?");
    click (editor->nextButton);
    EXPECT_EQ (markedPath(), three.getFullPathName());
    EXPECT_NEAR (parameter ("WET")->getValue(), wetOfPreset (3), 1e-6f);

    // The preset that plays is removed outside the plug-in: its name stays, and no other file is marked or touched.
    const int left = editor->presetMenu.currentIndex;
    ASSERT_TRUE (three.deleteFile());
    openAndDismissBrowser();
    EXPECT_EQ (editor->presetMenu.currentIndex, -1);
    EXPECT_EQ (editor->presetMenu.getText(), "03 - Three");
    const auto questions = dialogs->questions.size();
    parameter ("WET")->setValue (0.9f);
    answerAndClick (true, editor->delButton);
    answerAndClick (true, editor->reloadButton);
    EXPECT_EQ (dialogs->questions.size(), questions);
    EXPECT_EQ (factory.findChildFiles (juce::File::findFiles, false, "*.aup").size(), 5);
    EXPECT_NEAR (parameter ("WET")->getValue(), 0.9f, 1e-6f);

    // The position it left now holds another preset, which a choice loads.
    choose (juce::File (editor->presetMenu.pathAt (left)));
    EXPECT_NEAR (parameter ("WET")->getValue(), wetOfPreset (4), 1e-6f);
}

TEST_F (PresetBarTest, PresetsWhosePathsDifferOnlyInLetterCaseAreTwoFilesEachMarkedWhenChosenOrSaved)
{
    const auto factory = juce::File (editor->presetMenu.pathAt (0)).getParentDirectory();
    const auto upper = factory.getChildFile ("Case.aup"), lower = factory.getChildFile ("case.aup");
    ASSERT_TRUE (writePreset (upper, 0.45f) && writePreset (lower, 0.55f));

    for (const auto& file : { upper, lower, upper })
    {
        choose (file);
        EXPECT_EQ (markedPath(), file.getFullPathName());
        EXPECT_NEAR (parameter ("WET")->getValue(), file == upper ? 0.45f : 0.55f, 1e-6f);
    }

    for (const auto& file : { lower, upper })
    {
        dialogs->fileToChoose = file;
        click (editor->saveButton);
        EXPECT_EQ (markedPath(), file.getFullPathName());
        EXPECT_EQ (editor->presetMenu.getText(), file.getFileNameWithoutExtension());
    }
}

/** A preset the user saved at the top of the folder, and a second init preset in another sub-folder. */
class StartUpPresetTest : public PresetBarTest
{
protected:
    StartUpPresetTest() : PresetBarTest ([] (const juce::File& presets)
    {
        writePreset (presets.getChildFile ("Ambient.aup"), 0.95f);
        writePreset (presets.getChildFile ("Other/00 - INIT.aup"), 0.85f);
    }) {}
};

TEST_F (StartUpPresetTest, EveryEditorMarksTheInitPresetTheInstanceLoadedWhateverSortsBeforeItOrWasListedSince)
{
    // The sub-folders are searched in the file system's order: the sound tells which init preset was loaded.
    const juce::File presets (processor->settings.presetsPath);
    const bool other = parameter ("WET")->getValue() > 0.5f;
    const auto loaded = presets.getChildFile (other ? "Other/00 - INIT.aup" : "Factory/00 - INIT.aup");

    for (int window = 0; window < 2; ++window)
    {
        SCOPED_TRACE (window == 0 ? "first editor" : "editor opened again");
        showOnDesktop();
        EXPECT_EQ (markedPath(), loaded.getFullPathName());
        EXPECT_EQ (editor->presetMenu.getText(), "00 - INIT");
        EXPECT_EQ (tickedInBrowser(), juce::StringArray ((other ? "Other/" : "Factory/") + juce::String ("00 - INIT")));
        EXPECT_EQ (markedPath(), loaded.getFullPathName());
        reopenEditor();
    }

    parameter ("WET")->setValue (0.3f);
    answerAndClick (true, editor->reloadButton);
    EXPECT_NEAR (parameter ("WET")->getValue(), other ? 0.85f : wetOfPreset (0), 1e-6f);
}

TEST_F (PresetBarTest, TheBrowserTicksTheFileThatPlaysAndNoOtherItemAlsoDeepInsideSubFolders)
{
    showOnDesktop();
    const auto factory = juce::File (editor->presetMenu.pathAt (0)).getParentDirectory();
    const auto deepX = factory.getChildFile ("Bass/Sub/x.aup"), x = factory.getChildFile ("x.aup");
    ASSERT_TRUE (writePreset (deepX, 0.8f) && writePreset (x, 0.6f));

    choose (juce::File (editor->presetMenu.pathAt (2)));
    EXPECT_EQ (tickedInBrowser(), juce::StringArray ("Factory/02 - Two"));
    choose (deepX);
    EXPECT_EQ (tickedInBrowser(), juce::StringArray ("Factory/Bass/Sub/x"));
    ASSERT_TRUE (deepX.deleteFile());
    EXPECT_EQ (tickedInBrowser(), juce::StringArray());
}

TEST_F (PresetBarTest, ALoadThatFailsIsSaidByNameAndTheBoxAndTheSoundStayOnWhatPlays)
{
    const auto factory = juce::File (editor->presetMenu.pathAt (0)).getParentDirectory();
    const auto fileOf = [&factory] (const char* name) { return factory.getChildFile (juce::String (name) + ".aup"); };
    const auto broken = fileOf ("01 - Broken");
    ASSERT_TRUE (broken.replaceWithText ("<Brindlex_Preset presetName=\"01 - Broken\" Wet=\"0."));

    const struct { const char* what; const char* plays; std::function<void()> fail; juce::File failed; } rows[] = {
        { "an unreadable preset chosen", "01 - One", [&] { choose (broken); }, broken },
        { "next onto a preset another instance removed", "02 - Two", [&] { fileOf ("03 - Three").deleteFile(); click (editor->nextButton); }, fileOf ("03 - Three") },
        { "reload of the preset that plays, removed since", "04 - Four", [&] { fileOf ("04 - Four").deleteFile(); answerAndClick (true, editor->reloadButton); }, fileOf ("04 - Four") },
    };

    for (const auto& row : rows)
    {
        SCOPED_TRACE (row.what);
        choose (fileOf (row.plays));
        parameter ("WET")->setValue (0.9f);
        const int said = dialogs->messages.size();
        row.fail();

        ASSERT_EQ (dialogs->messages.size(), said + 1);
        EXPECT_TRUE (dialogs->messages[said].contains (row.failed.getFullPathName()) && dialogs->messages[said].contains ("not loaded"));
        EXPECT_EQ (editor->presetMenu.getText(), row.plays);
        EXPECT_EQ (markedPath(), fileOf (row.plays).getFullPathName());
        EXPECT_EQ (processor->currentPresetIndex.load(), (float) editor->presetMenu.currentIndex);
        EXPECT_NEAR (parameter ("WET")->getValue(), 0.9f, 1e-6f);
    }
}

TEST_F (PresetBarTest, AHostStateSetWithTheEditorOpenIsShownSoonWithoutLoadingAndDeleteThenAsksAboutItsPreset)
{
    const auto mineX = juce::File (processor->settings.presetsPath).getChildFile ("Mine/x.aup");
    ASSERT_TRUE (writePreset (mineX, 0.8f));
    choose (mineX);

    setHostState ("02 - Two", 0.42f);
    ASSERT_TRUE (pumpUntil ([this] { return editor->presetMenu.getText() == "02 - Two"; }));
    expectSelected (2, 0.42f);
    answerAndClick (false, editor->delButton);
    EXPECT_EQ (dialogs->questions.strings.getLast(), "Do you want to permanently delete 02 - Two?");

    // x no longer plays, so choosing it loads it.
    choose (mineX);
    EXPECT_NEAR (parameter ("WET")->getValue(), 0.8f, 1e-6f);
}

TEST_F (PresetBarTest, AHostStateSetOnAThreadOfTheHostsWhileAudioRunsAndTheEditorRefreshesIsShown)
{
    // The host keeps setting states while the editor follows them, until the box has moved a few times.
    processor->prepareToPlay (48000.0, 64);
    std::atomic<bool> stop { false };
    std::atomic<int> statesSet { 0 };
    std::thread audio ([this, &stop] { while (! stop) processSilence (*processor); });
    std::thread host ([this, &stop, &statesSet]
    {
        for (int i = 0; ! stop; i = ++statesSet)
            setHostState (i % 2 == 0 ? "03 - Three" : "01 - One", wetOfPreset (i % 2 == 0 ? 3 : 1));
    });

    int moves = 0;
    auto shown = editor->presetMenu.getText();
    EXPECT_TRUE (pumpUntil ([&]
    {
        moves += std::exchange (shown, editor->presetMenu.getText()) != shown ? 1 : 0;
        return moves >= 6;
    }));
    stop = true;
    host.join();
    audio.join();

    const int last = (statesSet - 1) % 2 == 0 ? 3 : 1;
    EXPECT_TRUE (pumpUntil ([this, last] { return editor->presetMenu.getText() == editor->presetMenu.nameAt (last); }));
    expectSelected (last, wetOfPreset (last));
}

TEST_F (PresetBarTest, PreviousFromNoMarkWrapsToTheLastPresetAndDeletingTheLastLoadsTheOneBeforeIt)
{
    const auto one = juce::File (editor->presetMenu.pathAt (1));
    const struct { const char* what; std::function<void()> unmark; } rows[] = {
        { "saved outside the folder", [&] { dialogs->fileToChoose = processor.folder.getChildFile ("Outside.aup"); click (editor->saveButton); } },
        { "the preset that played removed", [&] { choose (one); one.deleteFile(); editor->presetMenu.setPresetFolder (processor->settings.presetsPath); } },
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE (row.what);
        row.unmark();
        ASSERT_EQ (editor->presetMenu.currentIndex, -1);
        parameter ("WET")->setValue (0.33f);
        click (editor->prevButton);
        expectSelected (editor->presetMenu.presetNames.size() - 1, wetOfPreset (4));
    }

    answerAndClick (true, editor->delButton);
    EXPECT_EQ (editor->presetMenu.presetNames, juce::StringArray ({ "00 - INIT", "02 - Two", "03 - Three" }));
    expectSelected (2, wetOfPreset (3));
}

// The dialogs users see: asynchronous alert windows that answer later and close with their owner.
TEST (EditorDialogs, AQuestionAnswersWhenAButtonIsPressedAndNeverAfterItsOwnerIsGone)
{
    juce::ScopedJuceInitialiser_GUI gui;
    WidgetTest::ignoreXErrors();
    juce::Component owner;
    std::vector<bool> answers;
    const auto alert = [] { return dynamic_cast<juce::AlertWindow*> (juce::Component::getCurrentlyModalComponent()); };
    const auto openAlert = [&alert] { pumpUntil ([&alert] { return alert() != nullptr; }); return alert(); };
    const auto noAlertLeft = [&alert] { return pumpPosted() && alert() == nullptr; };
    {
        corvantis::AsyncEditorDialogs dialogs (owner);
        for (auto* button : { "Cancel", "OK" })
        {
            dialogs.confirm ("Reload preset", "Reload?", [&answers] (bool ok) { answers.push_back (ok); });
            ASSERT_NE (openAlert(), nullptr);
            const auto asked = answers.size();
            openAlert()->triggerButtonClick (button);
            ASSERT_TRUE (pumpUntil ([&answers, asked] { return answers.size() > asked; }));
        }
        EXPECT_TRUE (noAlertLeft());
        EXPECT_EQ (answers, std::vector<bool> ({ false, true }));

        dialogs.confirm ("Delete preset", "Delete?", [&answers] (bool ok) { answers.push_back (ok); });
        dialogs.inform ("Save Preset", "Not saved.", [&answers] { answers.push_back (true); });
        ASSERT_NE (openAlert(), nullptr);
    }
    EXPECT_TRUE (noAlertLeft());
    EXPECT_EQ (answers.size(), 2u);
}
