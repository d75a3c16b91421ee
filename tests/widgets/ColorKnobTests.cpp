#include "WidgetTestSupport.h"
#include "widgets/KT_ColorKnob.h"
#include "TestSupport.h"

using namespace WidgetTest;
using corvantis::KT_ColorKnob;

namespace
{
    const juce::Colour red (0xffff0000), blue (0xff0000ff), green (0xff00ff00);

    std::unique_ptr<KT_ColorKnob> makeKnob (int w, int h, double value)
    {
        auto knob = std::make_unique<KT_ColorKnob> (red, blue, nullptr);
        knob->setRange (0.0, 1.0, 0.01);
        knob->setValue (value, juce::dontSendNotification);
        knob->setSize (w, h);
        return knob;
    }

    bool hasMenuItem (const juce::PopupMenu& menu, int id, const juce::String& text, bool ticked)
    {
        for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
        {
            const auto& item = it.getItem();

            if (item.itemID == id)
                return item.text == text && item.isTicked == ticked && item.isEnabled;
        }

        return false;
    }

    int countItems (const juce::PopupMenu& menu)
    {
        int n = 0;

        for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
            ++n;

        return n;
    }
}

TEST (ColorKnob, AtZeroOnlyTheBackgroundDiscShows)
{
    auto knob = makeKnob (100, 100, 0.0);
    const auto image = render (*knob);

    EXPECT_TRUE (pixelIs (image, 50, 50, red));
    EXPECT_TRUE (pixelIs (image, 90, 50, red));
    EXPECT_EQ (countNear (image, blue, 40), 0);
    EXPECT_TRUE (pixelIs (image, 3, 3, juce::Colours::transparentBlack));
}

TEST (ColorKnob, AtHalfTheValueDiscHasHalfTheDiameter)
{
    auto knob = makeKnob (100, 100, 0.5);
    const auto image = render (*knob);

    // Value disc of radius 25 around (50, 50) inside the background disc of radius 50.
    EXPECT_TRUE (pixelIs (image, 50, 50, blue));
    EXPECT_TRUE (pixelIs (image, 50 + 21, 50, blue));
    EXPECT_TRUE (pixelIs (image, 50, 50 - 22, blue));
    EXPECT_TRUE (pixelIs (image, 50 + 28, 50, red));
    EXPECT_TRUE (pixelIs (image, 50, 50 + 29, red));
    EXPECT_TRUE (pixelIs (image, 3, 3, juce::Colours::transparentBlack));
}

TEST (ColorKnob, AtOneTheValueDiscCoversTheBackgroundDisc)
{
    auto knob = makeKnob (100, 100, 1.0);
    const auto image = render (*knob);

    EXPECT_TRUE (pixelIs (image, 50, 50, blue));
    EXPECT_TRUE (pixelIs (image, 96, 50, blue));
    EXPECT_TRUE (pixelIs (image, 50, 2, blue));
    EXPECT_EQ (countNear (image, red, 60), 0);
    EXPECT_TRUE (pixelIs (image, 3, 3, juce::Colours::transparentBlack));
}

TEST (ColorKnob, NonSquareBoundsGiveAnEllipse)
{
    auto knob = makeKnob (120, 60, 1.0);
    const auto image = render (*knob);

    // Reaches both side edges and both vertical edges, which a centred circle of diameter 60 would not.
    EXPECT_TRUE (pixelIs (image, 4, 30, blue));
    EXPECT_TRUE (pixelIs (image, 115, 30, blue));
    EXPECT_TRUE (pixelIs (image, 60, 2, blue));
    EXPECT_TRUE (pixelIs (image, 10, 8, juce::Colours::transparentBlack));
}

TEST (ColorKnob, ColourSetOnTheKnobOverridesItsLookAndFeel)
{
    auto knob = makeKnob (100, 100, 1.0);
    knob->setColour (juce::Slider::rotarySliderFillColourId, green);
    EXPECT_TRUE (pixelIs (render (*knob), 50, 50, green));
}

TEST (ColorKnob, IsARotaryDragKnobWithoutTextBox)
{
    auto knob = makeKnob (60, 60, 0.3);
    EXPECT_EQ (knob->getSliderStyle(), juce::Slider::RotaryVerticalDrag);
    EXPECT_EQ (knob->getTextBoxPosition(), juce::Slider::NoTextBox);
    EXPECT_EQ (knob->getName(), juce::String());
    EXPECT_EQ (knob->paramIndex, -1);
}

TEST (ColorKnob, TakesTheIndexOfItsParameter)
{
    TestProcessor processor;
    auto* parameter = processor->getParameters()[17];
    KT_ColorKnob knob (red, blue, parameter);
    EXPECT_EQ (knob.paramIndex, 17);
}

TEST (ColorKnob, HoverTextReachesAndLeavesTheInfoLabel)
{
    auto knob = makeKnob (60, 60, 0.5);
    juce::Label info;
    knob->description = "Feedback amount";
    knob->infoLabel = &info;

    knob->mouseEnter (mouseEvent (*knob, { 30.0f, 30.0f }));
    EXPECT_EQ (info.getText(), "Feedback amount");

    knob->mouseExit (mouseEvent (*knob, { 70.0f, 30.0f }));
    EXPECT_EQ (info.getText(), juce::String());
}

TEST (ColorKnob, WithoutInfoLabelALeftDragStillMovesTheValue)
{
    auto knob = makeKnob (60, 60, 0.5);
    knob->mouseEnter (mouseEvent (*knob, { 30.0f, 30.0f }));

    const juce::ModifierKeys left (juce::ModifierKeys::leftButtonModifier);
    juce::ModifierKeys::currentModifiers = left;
    knob->mouseDown (mouseEvent (*knob, { 30.0f, 30.0f }, left));
    auto drag = mouseEvent (*knob, { 30.0f, 30.0f }, left);
    knob->mouseDrag (drag.withNewPosition (juce::Point<float> (30.0f, -30.0f)));
    knob->mouseUp (drag.withNewPosition (juce::Point<float> (30.0f, -30.0f)));
    juce::ModifierKeys::currentModifiers = {};

    EXPECT_GT (knob->getValue(), 0.5);
    EXPECT_EQ (openMenu(), nullptr);
    knob->mouseExit (mouseEvent (*knob, { 70.0f, 30.0f }));
}

TEST (ColorKnob, LockMenuOffersLockAndUnlockAll)
{
    auto knob = makeKnob (60, 60, 0.5);
    auto menu = knob->createLockMenu();
    EXPECT_EQ (countItems (menu), 2);
    EXPECT_TRUE (hasMenuItem (menu, 1, "Lock parameter", false));
    EXPECT_TRUE (hasMenuItem (menu, 2, "Unlock All", false));

    knob->locked = true;
    auto lockedMenu = knob->createLockMenu();
    EXPECT_TRUE (hasMenuItem (lockedMenu, 1, "Lock parameter", true));
    EXPECT_TRUE (hasMenuItem (lockedMenu, 2, "Unlock All", false));
}

using ColorKnobMenu = MenuTest;

TEST_F (ColorKnobMenu, RightClickLocksAndASecondChoiceUnlocks)
{
    auto knob = makeKnob (60, 60, 0.5);

    rightClick (*knob);
    ASSERT_NE (openMenu(), nullptr);
    EXPECT_DOUBLE_EQ (knob->getValue(), 0.5);
    chooseMenuItem (1);
    EXPECT_TRUE (knob->locked);
    EXPECT_FALSE (knob->unlockAllRequested);
    EXPECT_EQ (openMenu(), nullptr);

    rightClick (*knob);
    chooseMenuItem (1);
    EXPECT_FALSE (knob->locked);
}

TEST_F (ColorKnobMenu, UnlockAllRaisesTheRequestAndLeavesTheLock)
{
    auto knob = makeKnob (60, 60, 0.5);
    knob->locked = true;

    rightClick (*knob);
    chooseMenuItem (2);
    EXPECT_TRUE (knob->unlockAllRequested);
    EXPECT_TRUE (knob->locked);

    // Once the owner has handled and lowered the request, the item works again.
    knob->unlockAllRequested = false;
    rightClick (*knob);
    chooseMenuItem (2);
    EXPECT_TRUE (knob->unlockAllRequested);
}

TEST_F (ColorKnobMenu, DismissingChangesNeitherFlag)
{
    auto knob = makeKnob (60, 60, 0.5);

    rightClick (*knob);
    dismissMenu();
    EXPECT_FALSE (knob->locked);
    EXPECT_FALSE (knob->unlockAllRequested);
    EXPECT_EQ (openMenu(), nullptr);
}

TEST_F (ColorKnobMenu, DeletingTheKnobWhileItsMenuIsOpenIsHarmless)
{
    auto knob = makeKnob (60, 60, 0.5);
    rightClick (*knob);
    ASSERT_NE (openMenu(), nullptr);

    knob.reset();

    if (auto* menu = openMenu())
    {
        menu->keyPressed (juce::KeyPress (juce::KeyPress::downKey));
        menu->keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
    }

    pump (300);
    EXPECT_EQ (openMenu(), nullptr);

    // A late result for a deleted knob is ignored.
    KT_ColorKnob::lockMenuCallback (1, nullptr);
    KT_ColorKnob::lockMenuCallback (2, nullptr);
}
