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

TEST (EditorDialogs, AQuestionAnswersWhenAButtonIsPressedAndNeverAfterItsOwnerIsGone)
{
    juce::ScopedJuceInitialiser_GUI gui;
    WidgetTest::ignoreXErrors();
    juce::Component owner;
    std::vector<bool> answers;

    {
        corvantis::AsyncEditorDialogs dialogs (owner);
        for (auto* button : { "Cancel", "OK" })
        {
            dialogs.confirm ("Reload preset", "Reload?", [&answers] (bool ok) { answers.push_back (ok); });
            pumpMessages (30);
            ASSERT_NE (openAlert(), nullptr);
            EXPECT_EQ (openAlert()->getNumButtons(), 2);
            openAlert()->triggerButtonClick (button);
            pumpMessages (30);
        }
        EXPECT_EQ (answers, std::vector<bool> ({ false, true }));

        dialogs.confirm ("Delete preset", "Delete?", [&answers] (bool ok) { answers.push_back (ok); });
        dialogs.inform ("Save Preset", "Not saved.", [&answers] { answers.push_back (true); });
        pumpMessages (30);
        ASSERT_NE (openAlert(), nullptr);
    }

    pumpMessages (30);
    EXPECT_EQ (openAlert(), nullptr);
    EXPECT_EQ (answers.size(), 2u);
}
