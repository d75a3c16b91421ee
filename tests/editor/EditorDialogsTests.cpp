#include "MessagePump.h"
#include <gtest/gtest.h>
#include "editor/EditorDialogs.h"
#include "widgets/WidgetTestSupport.h"

// The dialogs users see: asynchronous alert windows that answer later and close with their owner.
namespace
{
    juce::AlertWindow* openAlert()
    {
        return dynamic_cast<juce::AlertWindow*> (juce::Component::getCurrentlyModalComponent());
    }
}

TEST (EditorDialogs, AQuestionAnswersOnlyWhenAButtonIsPressed)
{
    juce::ScopedJuceInitialiser_GUI gui;
    WidgetTest::ignoreXErrors();
    juce::Component owner;
    corvantis::AsyncEditorDialogs dialogs (owner);

    std::vector<bool> answers;
    dialogs.confirm ("Reload preset", "Reload?", [&answers] (bool ok) { answers.push_back (ok); });
    pumpMessages (30);

    auto* alert = openAlert();
    ASSERT_NE (alert, nullptr);
    EXPECT_TRUE (alert->isVisible());
    EXPECT_EQ (alert->getNumButtons(), 2);
    EXPECT_TRUE (answers.empty());

    alert->triggerButtonClick ("Cancel");
    pumpMessages (30);
    EXPECT_EQ (answers, std::vector<bool> ({ false }));
    EXPECT_EQ (openAlert(), nullptr);

    dialogs.confirm ("Reload preset", "Reload?", [&answers] (bool ok) { answers.push_back (ok); });
    pumpMessages (30);
    ASSERT_NE (openAlert(), nullptr);
    openAlert()->triggerButtonClick ("OK");
    pumpMessages (30);
    EXPECT_EQ (answers, std::vector<bool> ({ false, true }));
}

TEST (EditorDialogs, OpenDialogsCloseWithTheirOwnerWithoutAnswering)
{
    juce::ScopedJuceInitialiser_GUI gui;
    WidgetTest::ignoreXErrors();
    juce::Component owner;
    bool answered = false;

    {
        corvantis::AsyncEditorDialogs dialogs (owner);
        dialogs.confirm ("Delete preset", "Delete?", [&answered] (bool) { answered = true; });
        dialogs.inform ("Save Preset", "Not saved.", [&answered] { answered = true; });
        pumpMessages (30);
        ASSERT_NE (openAlert(), nullptr);
    }

    pumpMessages (30);
    EXPECT_EQ (openAlert(), nullptr);
    EXPECT_FALSE (answered);
}
