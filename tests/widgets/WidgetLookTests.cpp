#include "WidgetTestSupport.h"
#include "widgets/BrindlexLookAndFeel.h"
#include "widgets/BrindlexResources.h"
#include "widgets/KT_ColorKnob.h"
#include "widgets/KT_ColorSlider.h"
#include "widgets/KT_ComboBox.h"
#include "widgets/KT_ResizableComboBox.h"
#include "widgets/KT_ResizableLabel.h"
#include "widgets/KT_TextButton.h"

using namespace WidgetTest;

namespace
{
    const juce::Colour red (0xffff0000), blue (0xff0000ff), clear (juce::Colours::transparentBlack);
}

TEST (WidgetLook, KnobValueDiscGrowsFromTheCentreOfItsBackgroundDisc)
{
    corvantis::KT_ColorKnob knob (red, blue, nullptr);
    knob.setRange (0.0, 1.0);
    knob.setValue (0.5, juce::dontSendNotification);
    knob.setSize (100, 100);
    // A value disc of radius 25 inside the background disc of radius 50, nothing outside.
    const auto image = render (knob);
    EXPECT_TRUE (pixelIs (image, 50 + 21, 50, blue) && pixelIs (image, 50 + 28, 50, red) && pixelIs (image, 3, 3, clear));
    EXPECT_TRUE (pixelIs (image, 50, 50 - 22, blue) && pixelIs (image, 50, 50 + 29, red));
}

TEST (WidgetLook, SliderBarRunsFromTheLeftOrTheCentreAndPalesWhenDisabled)
{
    // 102 pixels wide: the track runs from x = 1 to x = 101, so the value p sits at 1 + 100 p.
    KT_ColorSlider slider (clear, red, nullptr);
    slider.setSize (102, 20);
    slider.setRange (0.0, 1.0);
    slider.setValue (0.5, juce::dontSendNotification);
    const auto bar = red.withAlpha ((juce::uint8) 204);
    auto image = render (slider);
    EXPECT_TRUE (pixelIs (image, 49, 10, bar) && pixelIs (image, 52, 10, clear));

    slider.sliderLAF.barFromCentre = true;
    slider.setValue (0.25, juce::dontSendNotification);
    image = render (slider);
    EXPECT_TRUE (pixelIs (image, 20, 10, clear) && pixelIs (image, 30, 10, bar) && pixelIs (image, 52, 10, clear));

    slider.setEnabled (false);
    const auto pale = render (slider).getPixelAt (30, 10);
    EXPECT_NEAR (pale.getSaturation(), 0.5f, 0.02f);
    EXPECT_NEAR (pale.getHue(), red.getHue(), 0.02f);
}

TEST (WidgetLook, TextButtonTextFollowsToggleAndEnableAndItsBackgroundTheState)
{
    KT_TextButton button (red, blue);
    button.setButtonText ("MM");
    button.buttonLAF.font = juce::Font (corvantis::BrindlexResources::getBoldTypeface()).withPointHeight (20.0f);
    button.setSize (100, 40);
    EXPECT_GT (countNear (render (button), red), 20);
    button.setToggleState (true, juce::dontSendNotification);
    EXPECT_EQ (countNear (render (button), red, 40), 0);
    EXPECT_GT (countNear (render (button), blue), 20);
    button.setEnabled (false);
    EXPECT_EQ (countNear (render (button), blue, 40), 0);
    EXPECT_GT (countNear (render (button), blue.withAlpha ((juce::uint8) 128), 2), 20);

    button.setButtonText ({});
    EXPECT_EQ (countNear (render (button), clear, 0), 100 * 40);
    for (auto [state, alpha] : { std::pair { juce::Button::buttonOver, 26 }, std::pair { juce::Button::buttonDown, 51 } })
    {
        button.setState (state);
        EXPECT_TRUE (pixelIs (render (button), 50, 20, juce::Colours::white.withAlpha ((juce::uint8) alpha), 2));
    }
}

TEST (WidgetLook, LabelFitsLongTextIntoTwoLinesInsideItsBorderAndHalvesWhenDisabled)
{
    KT_ResizableLabel label;
    label.setFont (juce::Font (corvantis::BrindlexResources::getRegularTypeface()).withPointHeight (14.0f));
    label.setColour (juce::Label::textColourId, juce::Colours::white);
    label.setText ("one two three four five six seven eight nine ten eleven twelve", juce::dontSendNotification);
    label.setBorderSize ({ 0, 30, 0, 0 });
    label.setSize (170, 300);

    // Counts the bands of rows holding ink above `minAlpha`; -1 for ink inside the border.
    const auto lines = [&] (int minAlpha)
    {
        const auto image = render (label);
        int bands = 0, inBorder = 0;
        for (int y = 0, previous = 0; y < image.getHeight(); ++y)
        {
            int ink = 0;
            for (int x = 0; x < image.getWidth(); ++x)
                (x < 30 ? inBorder : ink) += image.getPixelAt (x, y).getAlpha() > minAlpha ? 1 : 0;
            bands += ink > 0 && previous == 0 ? 1 : 0;
            previous = ink;
        }
        return inBorder > 0 ? -1 : bands;
    };

    EXPECT_EQ (lines (140), 2);
    label.setEnabled (false);
    EXPECT_EQ (lines (140), 0);
    EXPECT_EQ (lines (40), 2);
}

TEST (WidgetLook, EditorLookPicksFacesByNameAndDrawsTheResizerInBothColours)
{
    corvantis::BrindlexLookAndFeel lf;
    const auto regular = corvantis::BrindlexResources::getRegularTypeface();
    corvantis::KT_ResizableComboBox box;
    box.setName ("fbkModeRightMenu");
    box.setLookAndFeel (&lf);
    box.setSize (90, 16);
    // The box's text label bears the box's name, so that its font is chosen by that name.
    auto* boxText = dynamic_cast<juce::Label*> (box.getChildComponent (0));
    ASSERT_NE (boxText, nullptr);
    EXPECT_EQ (lf.getLabelFont (*boxText).getTypefacePtr(), regular);
    box.setLookAndFeel (nullptr);

    const auto labelFont = [&lf] (const char* name, int height)
    {
        juce::Label label (name);
        label.setSize (100, height);
        return lf.getLabelFont (label);
    };

    for (auto* name : { "lfoShapeLeftMenu", "timeRangeRightMenu", "fbkModeLeftMenu", "presetMenu", "infoLabel" })
        EXPECT_EQ (labelFont (name, 20).getTypefacePtr() == regular, juce::String (name) != "infoLabel") << name;

    // A parameter box's text grows with the box, up to a largest size.
    EXPECT_LT (labelFont ("lfoShapeRightMenu", 10).getHeight(), labelFont ("lfoShapeRightMenu", 60).getHeight());
    EXPECT_EQ (labelFont ("lfoShapeRightMenu", 60).getHeight(), labelFont ("lfoShapeRightMenu", 200).getHeight());

    juce::Image image (juce::Image::ARGB, 40, 40, true);
    juce::Graphics g (image);
    lf.drawCornerResizer (g, 40, 40, false, false);
    EXPECT_GT (countNear (image, lf.resizerColours[0], 4), 40);
    EXPECT_GT (countNear (image, lf.resizerColours[1], 4), 40);
}

using ComboBoxKeys = MenuTest;
TEST_F (ComboBoxKeys, BothBoxesIgnoreTheKeyboardAndPassEveryKeyOnAndFocusDrawsAFrame)
{
    corvantis::BrindlexLookAndFeel lf;
    corvantis::KT_ResizableComboBox parameterBox;
    corvantis::KT_ComboBox logoBox;
    const juce::Colour background (0xff000000), outline (0xffff0000), frame (0xff0000ff);
    parameterBox.setLookAndFeel (&lf);
    parameterBox.setColour (juce::ComboBox::backgroundColourId, background);
    parameterBox.setColour (juce::ComboBox::outlineColourId, outline);
    parameterBox.setColour (juce::ComboBox::buttonColourId, frame);

    for (juce::ComboBox* box : std::initializer_list<juce::ComboBox*> { &parameterBox, &logoBox })
    {
        DesktopWindow window;
        box->addItemList ({ "One", "Two", "Three" }, 1);
        box->setSelectedId (2, juce::dontSendNotification);
        box->setBounds (10, 10, 120, 30);
        window.addAndMakeVisible (*box);
        const auto edge = [&] (juce::Colour inner)
        { return pixelIs (render (*box), 0, 15, outline) && pixelIs (render (*box), 1, 15, inner); };

        // Only the parameter box draws the kit's frame: an outline, and a two-pixel frame inside it while focused.
        EXPECT_TRUE (box != &parameterBox || edge (background));
        ASSERT_TRUE (focus (*box));
        EXPECT_TRUE (box != &parameterBox || (edge (frame) && pixelIs (render (*box), 2, 15, background)));
        const juce::KeyPress keys[] = { juce::KeyPress (juce::KeyPress::downKey), juce::KeyPress (juce::KeyPress::upKey),
                                        juce::KeyPress (juce::KeyPress::returnKey), juce::KeyPress (juce::KeyPress::spaceKey) };

        for (auto& key : keys)
        {
            // Other test processes may share the display and take the focus away between keys.
            ASSERT_TRUE (focus (*box));
            window.getPeer()->handleKeyPress (key);

            // A box that took the key would open its menu or announce the new choice through messages.
            ASSERT_TRUE (pumpPosted());
            EXPECT_EQ (box->getSelectedId(), 2) << key.getTextDescription();
            EXPECT_FALSE (box->isPopupActive()) << key.getTextDescription();
        }

        // Every key reached the window, so the path the keys took was the real one.
        EXPECT_EQ (window.received.size(), (int) std::size (keys));
        window.removeChildComponent (box);
    }

    parameterBox.setLookAndFeel (nullptr);
}
