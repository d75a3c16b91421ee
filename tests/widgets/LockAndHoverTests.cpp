#include "WidgetTestSupport.h"
#include "TestSupport.h"
#include "widgets/BrindlexLookAndFeel.h"
#include "widgets/KT_ColorKnob.h"
#include "widgets/KT_ColorSlider.h"
#include "widgets/KT_ResizableComboBox.h"
#include "widgets/KT_TextButton.h"

using namespace WidgetTest;
using corvantis::KT_LockableSlider;

namespace
{
    struct LockableKind
    {
        const char* name;
        std::function<std::unique_ptr<KT_LockableSlider> (juce::AudioProcessorParameter*)> make;
        const char* menu;
        bool offersUnlockAll;
    };

    const LockableKind lockableKinds[] = {
        { "knob", [] (auto* p) { return std::make_unique<corvantis::KT_ColorKnob> (juce::Colours::red, juce::Colours::blue, p); },
          "Lock parameter|Unlock All", true },
        { "slider", [] (auto* p) { return std::make_unique<KT_ColorSlider> (juce::Colours::red, juce::Colours::blue, p); },
          "Lock parameter", false },
    };

    void PrintTo (const LockableKind& kind, std::ostream* out) { *out << kind.name; }

    juce::String items (const juce::PopupMenu& menu)
    {
        juce::StringArray result;
        for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
            result.add (it.getItem().text + (it.getItem().isTicked ? " (ticked)" : ""));
        return result.joinIntoString ("|");
    }
}

struct LockMenu : public MenuTest, public ::testing::WithParamInterface<LockableKind>
{
    std::unique_ptr<KT_LockableSlider> make (juce::AudioProcessorParameter* parameter = nullptr)
    {
        auto control = GetParam().make (parameter);
        control->setRange (0.0, 1.0, 0.01);
        control->setValue (0.2, juce::dontSendNotification);
        control->setSize (100, 60);
        return control;
    }
};

TEST_P (LockMenu, RightClickLocksASecondChoiceUnlocksTheTickFollowsAndUnlockAllIsOnlyARequest)
{
    auto control = make();
    const juce::String menu (GetParam().menu);
    EXPECT_EQ (items (control->createLockMenu()), menu);

    rightClick (*control);
    ASSERT_NE (openMenu(), nullptr);
    chooseMenuItem (1);
    EXPECT_TRUE (control->locked);
    EXPECT_FALSE (control->unlockAllRequested);
    EXPECT_DOUBLE_EQ (control->getValue(), 0.2);
    EXPECT_EQ (items (control->createLockMenu()), menu.replace ("Lock parameter", "Lock parameter (ticked)"));

    rightClick (*control);
    chooseMenuItem (1);
    EXPECT_FALSE (control->locked);
    EXPECT_EQ (openMenu(), nullptr);

    // "Unlock All" only raises the request for the editor, and only where the menu offers it.
    control->locked = true;
    rightClick (*control);
    if (GetParam().offersUnlockAll)
        chooseMenuItem (2);
    KT_LockableSlider::lockMenuCallback (KT_LockableSlider::unlockAllItemId, control.get());
    EXPECT_EQ (control->unlockAllRequested, GetParam().offersUnlockAll);
    EXPECT_TRUE (control->locked);

    // The menu takes the editor's menu colours.
    corvantis::BrindlexLookAndFeel editorLook;
    for (auto id : { juce::PopupMenu::backgroundColourId, juce::PopupMenu::highlightedBackgroundColourId })
        EXPECT_EQ (control->getLookAndFeel().findColour (id), editorLook.findColour (id));
}

TEST_P (LockMenu, LeftDragMovesTheValueAndDeletingWithTheMenuOpenIsHarmless)
{
    TestProcessor processor;
    auto control = make (processor->getParameters()[17]);
    EXPECT_EQ (control->paramIndex, 17);

    const juce::ModifierKeys left (juce::ModifierKeys::leftButtonModifier);
    juce::ModifierKeys::currentModifiers = left;  // the framework reads the buttons from here
    control->mouseDown (mouseEvent (*control, { 50.0f, 30.0f }, left));
    control->mouseDrag (mouseEvent (*control, { 70.0f, -10.0f }, left));
    juce::ModifierKeys::currentModifiers = {};
    EXPECT_GT (control->getValue(), 0.2);

    rightClick (*control);
    ASSERT_NE (openMenu(), nullptr);
    control.reset();
    if (openMenu() != nullptr)
        chooseMenuItem (1);
    EXPECT_TRUE (pumpUntil ([] { return openMenu() == nullptr; }));
    ASSERT_TRUE (pumpPosted()); // the menu's result, for the control that is gone
    KT_LockableSlider::lockMenuCallback (KT_LockableSlider::lockItemId, nullptr);
}

INSTANTIATE_TEST_SUITE_P (Controls, LockMenu, ::testing::ValuesIn (lockableKinds),
                          [] (const auto& info) { return std::string (info.param.name); });

TEST (InfoHover, EveryControlShowsItsDescriptionWhileTheMouseIsOver)
{
    corvantis::KT_ColorKnob knob (juce::Colours::red, juce::Colours::blue, nullptr);
    KT_ColorSlider slider (juce::Colours::red, juce::Colours::blue, nullptr);
    KT_TextButton button (juce::Colours::red, juce::Colours::blue);
    corvantis::KT_ResizableComboBox box;
    const std::pair<juce::Component*, corvantis::KT_InfoHover*> controls[] = { { &knob, &knob }, { &slider, &slider },
                                                                               { &button, &button }, { &box, &box } };

    juce::Label info;

    for (const auto& control : controls)
    {
        auto* component = control.first;
        auto* hover = control.second;
        component->setSize (100, 40);
        info.setText ("previous", juce::dontSendNotification);
        hover->description = "Feedback amount";

        const auto enter = [&] { component->mouseEnter (mouseEvent (*component, { 10.0f, 10.0f })); };
        const auto exit = [&] { component->mouseExit (mouseEvent (*component, { 200.0f, 10.0f })); };
        enter();
        exit();
        EXPECT_EQ (info.getText(), "previous") << "without a label nothing changes";
        hover->infoLabel = &info;
        enter();
        EXPECT_EQ (info.getText(), "Feedback amount");
        exit();
        EXPECT_EQ (info.getText(), juce::String());
    }

    // Hovering alone leaves the button's background clear; leaving ends a hover that a click began.
    button.mouseEnter (mouseEvent (button, { 10.0f, 10.0f }));
    EXPECT_EQ (button.getState(), juce::Button::buttonNormal);
    button.setState (juce::Button::buttonOver);
    button.mouseExit (mouseEvent (button, { 200.0f, 10.0f }));
    EXPECT_EQ (button.getState(), juce::Button::buttonNormal);
}
