#include "editor/EditorDialogs.h"
#include "widgets/WidgetTestSupport.h"

// The dialogs users see: asynchronous alert windows that answer later and close with their owner.
TEST (EditorDialogs, AQuestionAnswersWhenAButtonIsPressedAndNeverAfterItsOwnerIsGone)
{
    juce::ScopedJuceInitialiser_GUI gui;
    WidgetTest::ignoreXErrors();
    juce::Component owner;
    std::vector<bool> answers;
    const auto openAlert = [] { pumpMessages (30); return dynamic_cast<juce::AlertWindow*> (juce::Component::getCurrentlyModalComponent()); };
    {
        corvantis::AsyncEditorDialogs dialogs (owner);
        for (auto* button : { "Cancel", "OK" })
        {
            dialogs.confirm ("Reload preset", "Reload?", [&answers] (bool ok) { answers.push_back (ok); });
            ASSERT_NE (openAlert(), nullptr);
            openAlert()->triggerButtonClick (button);
        }
        EXPECT_EQ (openAlert(), nullptr);
        EXPECT_EQ (answers, std::vector<bool> ({ false, true }));

        dialogs.confirm ("Delete preset", "Delete?", [&answers] (bool ok) { answers.push_back (ok); });
        dialogs.inform ("Save Preset", "Not saved.", [&answers] { answers.push_back (true); });
        ASSERT_NE (openAlert(), nullptr);
    }
    EXPECT_EQ (openAlert(), nullptr);
    EXPECT_EQ (answers.size(), 2u);
}
