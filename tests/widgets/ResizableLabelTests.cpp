#include "WidgetTestSupport.h"
#include "widgets/BrindlexResources.h"
#include "widgets/KT_ResizableLabel.h"

using namespace WidgetTest;

namespace
{
    // Number of separate horizontal bands of rows that hold any ink.
    int countTextLines (const juce::Image& image, juce::Colour ink)
    {
        int bands = 0;
        bool inBand = false;

        for (int y = 0; y < image.getHeight(); ++y)
        {
            bool rowHasInk = false;

            for (int x = 2; x < image.getWidth() - 2 && ! rowHasInk; ++x)
            {
                const auto p = image.getPixelAt (x, y);
                rowHasInk = p.getAlpha() > 40 && near (p.withAlpha ((juce::uint8) 255), ink, 10);
            }

            if (rowHasInk && ! inBand)
                ++bands;

            inBand = rowHasInk;
        }

        return bands;
    }

    const juce::String longText ("one two three four five six seven eight nine ten eleven twelve");

    void setUpLabel (juce::Label& label)
    {
        label.setFont (juce::Font (corvantis::BrindlexResources::getRegularTypeface()).withPointHeight (14.0f));
        label.setColour (juce::Label::textColourId, juce::Colours::white);
        label.setText (longText, juce::dontSendNotification);
        label.setSize (140, 300);
    }
}

TEST (ResizableLabel, LongTextIsFittedIntoTwoLinesEvenInATallLabel)
{
    KT_ResizableLabel label;
    setUpLabel (label);
    EXPECT_EQ (countTextLines (render (label), juce::Colours::white), 2);

    // A plain label of the same size spreads the same text over more lines.
    juce::Label plain;
    setUpLabel (plain);
    EXPECT_GT (countTextLines (render (plain), juce::Colours::white), 2);
}

TEST (ResizableLabel, ShortTextStaysOnOneLine)
{
    KT_ResizableLabel label;
    setUpLabel (label);
    label.setText ("one", juce::dontSendNotification);
    EXPECT_EQ (countTextLines (render (label), juce::Colours::white), 1);
}

TEST (ResizableLabel, DisabledLabelHalvesTextAndOutlineButKeepsTheBackground)
{
    KT_ResizableLabel label;
    label.setColour (juce::Label::backgroundColourId, juce::Colour (0xff102030));
    label.setColour (juce::Label::textColourId, juce::Colours::white);
    label.setColour (juce::Label::outlineColourId, juce::Colour (0xffff0000));
    label.setFont (juce::Font (corvantis::BrindlexResources::getBoldTypeface()).withPointHeight (30.0f));
    label.setText ("HH", juce::dontSendNotification);
    label.setJustificationType (juce::Justification::centred);
    label.setSize (100, 50);

    auto enabled = render (label);
    EXPECT_TRUE (pixelIs (enabled, 0, 25, juce::Colour (0xffff0000)));
    EXPECT_TRUE (pixelIs (enabled, 99, 25, juce::Colour (0xffff0000)));
    EXPECT_TRUE (pixelIs (enabled, 50, 0, juce::Colour (0xffff0000)));
    EXPECT_TRUE (pixelIs (enabled, 5, 5, juce::Colour (0xff102030)));
    EXPECT_GT (countNear (enabled, juce::Colours::white, 2), 20);

    label.setEnabled (false);
    auto disabled = render (label);
    const auto halfOutline = juce::Colour (0xff102030).interpolatedWith (juce::Colour (0xffff0000), 128.0f / 255.0f);
    EXPECT_TRUE (pixelIs (disabled, 0, 25, halfOutline, 3));
    EXPECT_TRUE (pixelIs (disabled, 5, 5, juce::Colour (0xff102030)));
    EXPECT_EQ (countNear (disabled, juce::Colours::white, 40), 0);
    const auto halfText = juce::Colour (0xff102030).interpolatedWith (juce::Colours::white, 128.0f / 255.0f);
    EXPECT_GT (countNear (disabled, halfText, 3), 20);
}

TEST (ResizableLabel, BorderSizeShrinksTheTextArea)
{
    KT_ResizableLabel label;
    label.setColour (juce::Label::textColourId, juce::Colours::white);
    label.setFont (juce::Font (corvantis::BrindlexResources::getBoldTypeface()).withPointHeight (14.0f));
    label.setText ("X", juce::dontSendNotification);
    label.setJustificationType (juce::Justification::topLeft);
    label.setBorderSize ({ 20, 30, 0, 0 });
    label.setSize (100, 60);

    auto image = render (label);

    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 100; ++x)
        {
            if (x < 29 || y < 19)
            {
                ASSERT_EQ (image.getPixelAt (x, y).getAlpha(), 0) << x << ", " << y;
            }
        }

    EXPECT_GT (countNear (image, juce::Colours::white, 2), 5);
}
