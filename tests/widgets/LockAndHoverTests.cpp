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
        bool offersUnlockAll;
    };

    const LockableKind lockableKinds[] = {
        { "knob", [] (auto* p) { return std::make_unique<corvantis::KT_ColorKnob> (juce::Colours::red, juce::Colours::blue, p); },
          true },
        { "slider", [] (auto* p) { return std::make_unique<KT_ColorSlider> (juce::Colours::red, juce::Colours::blue, p); },
          false },
    };

    std::vector<std::pair<juce::String, bool>> items (const juce::PopupMenu& menu)
    {
        std::vector<std::pair<juce::String, bool>> result;

        for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
            result.emplace_back (it.getItem().text, it.getItem().isTicked);

        return result;
    }

    std::string kindName (const ::testing::TestParamInfo<LockableKind>& info) { return info.param.name; }
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

TEST_P (LockMenu, RightClickLocksASecondChoiceUnlocksAndTheTickFollows)
{
    auto control = make();
    using Items = std::vector<std::pair<juce::String, bool>>;
    const auto expected = [&] (bool ticked)
    {
        Items list { { "Lock parameter", ticked } };
        if (GetParam().offersUnlockAll)
            list.emplace_back ("Unlock All", false);
        return list;
    };

    EXPECT_EQ (items (control->createLockMenu()), expected (false));
    rightClick (*control);
    ASSERT_NE (openMenu(), nullptr);
    chooseMenuItem (1);
    EXPECT_TRUE (control->locked);
    EXPECT_FALSE (control->unlockAllRequested);
    EXPECT_DOUBLE_EQ (control->getValue(), 0.2);
    EXPECT_EQ (items (control->createLockMenu()), expected (true));

    rightClick (*control);
    chooseMenuItem (1);
    EXPECT_FALSE (control->locked);
    EXPECT_EQ (openMenu(), nullptr);

    // The menu takes the editor's menu colours.
    corvantis::BrindlexLookAndFeel editorLook;
    for (auto id : { juce::PopupMenu::backgroundColourId, juce::PopupMenu::highlightedBackgroundColourId })
        EXPECT_EQ (control->getLookAndFeel().findColour (id), editorLook.findColour (id));
}

TEST_P (LockMenu, UnlockAllOnlyRaisesTheRequestWhereOffered)
{
    auto control = make();
    control->locked = true;

    if (GetParam().offersUnlockAll)
    {
        rightClick (*control);
        chooseMenuItem (2);
    }
    else
    {
        KT_LockableSlider::lockMenuCallback (KT_LockableSlider::unlockAllItemId, control.get());
    }

    EXPECT_EQ (control->unlockAllRequested, GetParam().offersUnlockAll);
    EXPECT_TRUE (control->locked);
}

TEST_P (LockMenu, LeftDragMovesTheValueAndDeletingWithTheMenuOpenIsHarmless)
{
    TestProcessor processor;
    auto control = make (processor->getParameters()[17]);
    EXPECT_EQ (control->paramIndex, 17);

    const juce::ModifierKeys left (juce::ModifierKeys::leftButtonModifier);
    juce::ModifierKeys::currentModifiers = left;
    const auto press = mouseEvent (*control, { 50.0f, 30.0f }, left);
    control->mouseDown (press);
    control->mouseDrag (press.withNewPosition (juce::Point<float> (70.0f, -10.0f)));
    control->mouseUp (press.withNewPosition (juce::Point<float> (70.0f, -10.0f)));
    juce::ModifierKeys::currentModifiers = {};
    EXPECT_GT (control->getValue(), 0.2);
    EXPECT_EQ (openMenu(), nullptr);

    rightClick (*control);
    ASSERT_NE (openMenu(), nullptr);
    control.reset();

    if (auto* menu = openMenu())
    {
        menu->keyPressed (juce::KeyPress (juce::KeyPress::downKey));
        menu->keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
    }

    pump (300);
    EXPECT_EQ (openMenu(), nullptr);
    KT_LockableSlider::lockMenuCallback (KT_LockableSlider::lockItemId, nullptr);
}

INSTANTIATE_TEST_SUITE_P (Controls, LockMenu, ::testing::ValuesIn (lockableKinds), kindName);

TEST (InfoHover, EveryControlShowsItsDescriptionWhileTheMouseIsOver)
{
    corvantis::KT_ColorKnob knob (juce::Colours::red, juce::Colours::blue, nullptr);
    KT_ColorSlider slider (juce::Colours::red, juce::Colours::blue, nullptr);
    KT_TextButton button (juce::Colours::red, juce::Colours::blue);
    corvantis::KT_ResizableComboBox box;
    const std::pair<juce::Component*, corvantis::KT_InfoHover*> controls[] = {
        { &knob, &knob }, { &slider, &slider }, { &button, &button }, { &box, &box }
    };

    for (auto [component, hover] : controls)
    {
        component->setSize (100, 40);
        juce::Label info;
        info.setText ("previous", juce::dontSendNotification);
        hover->description = "Feedback amount";

        component->mouseEnter (mouseEvent (*component, { 10.0f, 10.0f }));
        component->mouseExit (mouseEvent (*component, { 200.0f, 10.0f }));
        EXPECT_EQ (info.getText(), "previous") << "without a label nothing changes";

        hover->infoLabel = &info;
        component->mouseEnter (mouseEvent (*component, { 10.0f, 10.0f }));
        EXPECT_EQ (info.getText(), "Feedback amount");
        component->mouseExit (mouseEvent (*component, { 200.0f, 10.0f }));
        EXPECT_EQ (info.getText(), juce::String());
        hover->infoLabel = nullptr;
    }

    // Hovering alone leaves the button's background clear; leaving ends a hover that a click began.
    button.mouseEnter (mouseEvent (button, { 10.0f, 10.0f }));
    EXPECT_EQ (button.getState(), juce::Button::buttonNormal);
    button.setState (juce::Button::buttonOver);
    button.mouseExit (mouseEvent (button, { 200.0f, 10.0f }));
    EXPECT_EQ (button.getState(), juce::Button::buttonNormal);
}
