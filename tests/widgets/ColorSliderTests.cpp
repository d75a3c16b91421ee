#include "WidgetTestSupport.h"
#include "widgets/KT_ColorSlider.h"

using namespace WidgetTest;

namespace
{
    const juce::Colour track (0xff202020), accent (0xffe3420c);

    // A bar at alpha 0.8 (204) over the opaque track.
    juce::Colour barOverTrack (juce::Colour bar)
    {
        const auto mix = [] (juce::uint8 over, juce::uint8 under)
        { return (juce::uint8) juce::roundToInt (over * (204.0 / 255.0) + under * (51.0 / 255.0)); };
        return juce::Colour (mix (bar.getRed(), track.getRed()), mix (bar.getGreen(), track.getGreen()),
                             mix (bar.getBlue(), track.getBlue()));
    }

    // The slider is 102 pixels wide: its track runs from x = 1 to x = 101, so the value p sits at 1 + 100 p.
    std::unique_ptr<KT_ColorSlider> makeSlider (double value, bool fromCentre = false)
    {
        auto slider = std::make_unique<KT_ColorSlider> (track, accent, nullptr);
        slider->setRange (0.0, 1.0, 0.01);
        slider->setValue (value, juce::dontSendNotification);
        slider->sliderLAF.barFromCentre = fromCentre;
        slider->setSize (102, 20);
        return slider;
    }

    int countItems (const juce::PopupMenu& menu)
    {
        int n = 0;

        for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
            ++n;

        return n;
    }
}

TEST (ColorSlider, IsABarWithoutTextBox)
{
    auto slider = makeSlider (0.5);
    EXPECT_EQ (slider->getSliderStyle(), juce::Slider::LinearBar);
    EXPECT_EQ (slider->getTextBoxPosition(), juce::Slider::NoTextBox);
    EXPECT_FALSE (slider->sliderLAF.barFromCentre);
}

TEST (ColorSlider, BarFromTheLeftGrowsWithTheValue)
{
    const auto bar = barOverTrack (accent);

    auto atMin = render (*makeSlider (0.0));
    EXPECT_EQ (countNear (atMin, track, 2), 102 * 20);

    auto atHalf = render (*makeSlider (0.5));
    EXPECT_TRUE (pixelIs (atHalf, 2, 10, bar));
    EXPECT_TRUE (pixelIs (atHalf, 49, 10, bar));
    EXPECT_TRUE (pixelIs (atHalf, 52, 10, track));
    EXPECT_TRUE (pixelIs (atHalf, 99, 10, track));

    auto atMax = render (*makeSlider (1.0));
    EXPECT_TRUE (pixelIs (atMax, 2, 10, bar));
    EXPECT_TRUE (pixelIs (atMax, 99, 10, bar));
    EXPECT_TRUE (pixelIs (atMax, 50, 2, bar));
    EXPECT_TRUE (pixelIs (atMax, 50, 17, bar));
}

TEST (ColorSlider, BarFromTheCentreReachesFromTheMiddleToTheValue)
{
    const auto bar = barOverTrack (accent);

    auto middle = render (*makeSlider (0.5, true));
    EXPECT_EQ (countNear (middle, track, 2), 102 * 20);

    // Value 0.25 sits at x = 26: bar from 26 to 51.
    auto below = render (*makeSlider (0.25, true));
    EXPECT_TRUE (pixelIs (below, 20, 10, track));
    EXPECT_TRUE (pixelIs (below, 27, 10, bar));
    EXPECT_TRUE (pixelIs (below, 49, 10, bar));
    EXPECT_TRUE (pixelIs (below, 52, 10, track));

    // Value 0.75 sits at x = 76: bar from 51 to 76.
    auto above = render (*makeSlider (0.75, true));
    EXPECT_TRUE (pixelIs (above, 49, 10, track));
    EXPECT_TRUE (pixelIs (above, 52, 10, bar));
    EXPECT_TRUE (pixelIs (above, 74, 10, bar));
    EXPECT_TRUE (pixelIs (above, 80, 10, track));
}

TEST (ColorSlider, BarTakesTheFillColourNotTheThumbOrTrackColour)
{
    auto slider = makeSlider (1.0);
    slider->setColour (juce::Slider::thumbColourId, juce::Colours::white);
    slider->setColour (juce::Slider::trackColourId, juce::Colours::white);
    EXPECT_TRUE (pixelIs (render (*slider), 50, 10, barOverTrack (accent)));
}

TEST (ColorSlider, DisabledBarHasHalfTheSaturationAndTheSameAlpha)
{
    // Over a transparent track the bar's own colour and alpha can be read back.
    auto slider = std::make_unique<KT_ColorSlider> (juce::Colours::transparentBlack, accent, nullptr);
    slider->setRange (0.0, 1.0, 0.01);
    slider->setValue (1.0, juce::dontSendNotification);
    slider->setSize (102, 20);

    const auto enabled = render (*slider).getPixelAt (50, 10);
    EXPECT_EQ (enabled.getAlpha(), 204);
    EXPECT_NEAR (enabled.getSaturation(), accent.getSaturation(), 0.02f);

    slider->setEnabled (false);
    const auto disabled = render (*slider).getPixelAt (50, 10);
    EXPECT_EQ (disabled.getAlpha(), 204);
    EXPECT_NEAR (disabled.getSaturation(), accent.getSaturation() * 0.5f, 0.02f);
    EXPECT_NEAR (disabled.getHue(), accent.getHue(), 0.02f);
    EXPECT_NEAR (disabled.getBrightness(), accent.getBrightness(), 0.02f);

    // Inside a disabled parent it is disabled too.
    slider->setEnabled (true);
    juce::Component parent;
    parent.addAndMakeVisible (*slider);
    parent.setEnabled (false);
    EXPECT_NEAR (render (*slider).getPixelAt (50, 10).getSaturation(), accent.getSaturation() * 0.5f, 0.02f);
}

TEST (ColorSlider, HoverTextReachesAndLeavesTheInfoLabel)
{
    auto slider = makeSlider (0.5);
    juce::Label info;
    slider->description = "Tap 1 pan";
    slider->infoLabel = &info;

    slider->mouseEnter (mouseEvent (*slider, { 10.0f, 10.0f }));
    EXPECT_EQ (info.getText(), "Tap 1 pan");
    slider->mouseExit (mouseEvent (*slider, { 200.0f, 10.0f }));
    EXPECT_EQ (info.getText(), juce::String());

    slider->infoLabel = nullptr;
    slider->mouseEnter (mouseEvent (*slider, { 10.0f, 10.0f }));
    EXPECT_EQ (info.getText(), juce::String());
    slider->mouseExit (mouseEvent (*slider, { 200.0f, 10.0f }));
}

TEST (ColorSlider, LockMenuHasOneItem)
{
    auto slider = makeSlider (0.5);
    auto menu = slider->createLockMenu();
    ASSERT_EQ (countItems (menu), 1);

    juce::PopupMenu::MenuItemIterator it (menu);
    ASSERT_TRUE (it.next());
    EXPECT_EQ (it.getItem().itemID, 1);
    EXPECT_EQ (it.getItem().text, "Lock parameter");
    EXPECT_FALSE (it.getItem().isTicked);

    slider->locked = true;
    const auto lockedMenu = slider->createLockMenu();
    juce::PopupMenu::MenuItemIterator ticked (lockedMenu);
    ASSERT_TRUE (ticked.next());
    EXPECT_TRUE (ticked.getItem().isTicked);
}

using ColorSliderMenu = MenuTest;

TEST_F (ColorSliderMenu, ChoosingTwiceReturnsTheFlagToFalse)
{
    auto slider = makeSlider (0.3);

    rightClick (*slider);
    chooseMenuItem (1);
    EXPECT_TRUE (slider->locked);
    EXPECT_DOUBLE_EQ (slider->getValue(), 0.3);

    rightClick (*slider);
    chooseMenuItem (1);
    EXPECT_FALSE (slider->locked);
}

TEST_F (ColorSliderMenu, DismissingChangesNothing)
{
    auto slider = makeSlider (0.3);
    slider->locked = true;

    rightClick (*slider);
    dismissMenu();
    EXPECT_TRUE (slider->locked);
}

TEST_F (ColorSliderMenu, AResultAfterDeletionIsIgnored)
{
    auto slider = makeSlider (0.3);
    rightClick (*slider);
    ASSERT_NE (openMenu(), nullptr);

    slider.reset();

    if (auto* menu = openMenu())
    {
        menu->keyPressed (juce::KeyPress (juce::KeyPress::downKey));
        menu->keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
    }

    pump (300);
    EXPECT_EQ (openMenu(), nullptr);
    KT_ColorSlider::lockMenuCallback (1, nullptr);
}
