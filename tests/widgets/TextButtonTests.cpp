#include "WidgetTestSupport.h"
#include "widgets/BrindlexResources.h"
#include "widgets/KT_TextButton.h"

using namespace WidgetTest;

namespace
{
    const juce::Colour offColour (0xffff0000), onColour (0xff00ff00);

    std::unique_ptr<KT_TextButton> makeButton (int w, int h)
    {
        auto button = std::make_unique<KT_TextButton> (offColour, onColour);
        button->setButtonText ("MM");
        button->buttonLAF.font = juce::Font (corvantis::BrindlexResources::getBoldTypeface()).withPointHeight (20.0f);
        button->setSize (w, h);
        return button;
    }

    // The highest alpha among the pixels whose colour is `colour` (any alpha).
    int maxAlphaOf (const juce::Image& image, juce::Colour colour)
    {
        int best = 0;

        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x)
            {
                const auto p = image.getPixelAt (x, y);

                if (p.getAlpha() > 0 && near (p.withAlpha ((juce::uint8) 255), colour, 8))
                    best = juce::jmax (best, (int) p.getAlpha());
            }

        return best;
    }
}

TEST (TextButton, ToggleStateChoosesTheTextColour)
{
    auto button = makeButton (100, 40);

    auto off = render (*button);
    EXPECT_EQ (maxAlphaOf (off, offColour), 255);
    EXPECT_EQ (maxAlphaOf (off, onColour), 0);

    button->setToggleState (true, juce::dontSendNotification);
    auto on = render (*button);
    EXPECT_EQ (maxAlphaOf (on, onColour), 255);
    EXPECT_EQ (maxAlphaOf (on, offColour), 0);
}

TEST (TextButton, DisabledTextHasHalfItsAlpha)
{
    auto button = makeButton (100, 40);
    button->setEnabled (false);
    EXPECT_NEAR (maxAlphaOf (render (*button), offColour), 128, 1);

    button->setToggleState (true, juce::dontSendNotification);
    EXPECT_NEAR (maxAlphaOf (render (*button), onColour), 128, 1);
}

TEST (TextButton, TextIsCentredInTheUpperLeftPartOfTheButton)
{
    // In a 200 x 200 button the text area is 196 x 196, so the text's centre sits 2 pixels left of the middle.
    auto button = makeButton (200, 200);
    button->setButtonText ("I");
    auto image = render (*button);

    int minX = 1000, maxX = -1;

    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            if (image.getPixelAt (x, y).getAlpha() > 0)
            {
                minX = juce::jmin (minX, x);
                maxX = juce::jmax (maxX, x);
            }

    ASSERT_GE (maxX, minX);
    EXPECT_NEAR ((minX + maxX + 1) * 0.5, 98.0, 1.0);
}

TEST (TextButton, BackgroundIsClearAtRestAndFaintWhenHoveredOrPressed)
{
    auto button = makeButton (100, 40);
    button->setButtonText ({});

    EXPECT_EQ (countNear (render (*button), juce::Colours::transparentBlack, 0), 100 * 40);

    // Inset by (0.5 + 0.75) on each side: pixel 0 stays clear, pixel 2 is covered.
    button->setState (juce::Button::buttonOver);
    auto over = render (*button);
    EXPECT_TRUE (pixelIs (over, 50, 20, juce::Colours::white.withAlpha ((juce::uint8) 26), 2));
    EXPECT_TRUE (pixelIs (over, 2, 2, juce::Colours::white.withAlpha ((juce::uint8) 26), 2));
    EXPECT_TRUE (pixelIs (over, 0, 0, juce::Colours::transparentBlack, 0));
    EXPECT_TRUE (pixelIs (over, 99, 39, juce::Colours::transparentBlack, 0));

    button->setState (juce::Button::buttonDown);
    EXPECT_TRUE (pixelIs (render (*button), 50, 20, juce::Colours::white.withAlpha ((juce::uint8) 51), 2));
}

TEST (TextButton, OnePixelButtonDrawsNoBackground)
{
    for (auto [w, h] : { std::pair { 1, 30 }, std::pair { 30, 1 } })
    {
        auto button = makeButton (w, h);
        button->setState (juce::Button::buttonDown);
        EXPECT_EQ (countNear (render (*button), juce::Colours::transparentBlack, 0), w * h) << w << " x " << h;
    }
}

TEST (TextButton, HoverAloneSetsTheInfoTextButNotTheHoverState)
{
    auto button = makeButton (100, 40);
    juce::Label info;
    button->description = "Tempo sync";
    button->infoLabel = &info;

    button->mouseEnter (mouseEvent (*button, { 50.0f, 20.0f }));
    EXPECT_EQ (info.getText(), "Tempo sync");
    EXPECT_EQ (button->getState(), juce::Button::buttonNormal);

    button->setState (juce::Button::buttonOver);
    button->mouseExit (mouseEvent (*button, { 150.0f, 20.0f }));
    EXPECT_EQ (info.getText(), juce::String());
    EXPECT_EQ (button->getState(), juce::Button::buttonNormal);
}

using TextButtonPointer = MenuTest;

TEST_F (TextButtonPointer, HoverLeavesTheBackgroundClearUntilAClickAndLeavingClearsIt)
{
    DesktopWindow window;
    auto button = makeButton (100, 40);
    button->setButtonText ({});
    button->setTopLeftPosition (10, 10);
    window.addAndMakeVisible (*button);
    int clicks = 0;
    button->onClick = [&clicks] { ++clicks; };

    const auto clear = [&] { return countNear (render (*button), juce::Colours::transparentBlack, 0) == 100 * 40; };
    const auto shadeAlpha = [&] { return (int) render (*button).getPixelAt (50, 20).getAlpha(); };
    const juce::ModifierKeys left (juce::ModifierKeys::leftButtonModifier);

    pointer (window, { 200.0f, 100.0f });
    pointer (window, { 60.0f, 30.0f });
    EXPECT_EQ (button->getState(), juce::Button::buttonNormal);
    EXPECT_TRUE (clear());

    pointer (window, { 60.0f, 30.0f }, left);
    EXPECT_EQ (button->getState(), juce::Button::buttonDown);
    EXPECT_NEAR (shadeAlpha(), 51, 2);

    pointer (window, { 60.0f, 30.0f });
    EXPECT_EQ (clicks, 1);
    EXPECT_EQ (button->getState(), juce::Button::buttonOver);
    EXPECT_NEAR (shadeAlpha(), 26, 2);

    pointer (window, { 200.0f, 100.0f });
    EXPECT_EQ (button->getState(), juce::Button::buttonNormal);
    EXPECT_TRUE (clear());
}

TEST (TextButton, WithoutInfoLabelItStillClicksAndToggles)
{
    auto button = makeButton (100, 40);
    button->setClickingTogglesState (true);
    int clicks = 0;
    button->onClick = [&clicks] { ++clicks; };

    button->mouseEnter (mouseEvent (*button, { 50.0f, 20.0f }));
    button->triggerClick();
    pump (50);
    EXPECT_EQ (clicks, 1);
    EXPECT_TRUE (button->getToggleState());
    button->mouseExit (mouseEvent (*button, { 150.0f, 20.0f }));
}

TEST (TextButton, DefaultFontUntilTheOwnerSetsOne)
{
    KT_TextButton button (offColour, onColour);
    EXPECT_EQ (button.buttonLAF.font, juce::Font());
    EXPECT_EQ (button.buttonLAF.getTextButtonFont (button, 40), juce::Font());
    EXPECT_EQ (button.getName(), juce::String());
    EXPECT_EQ (button.getButtonText(), juce::String());
}
