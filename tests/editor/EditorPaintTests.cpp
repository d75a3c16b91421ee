#include "EditorTestSupport.h"

namespace
{
    /** The editor's own painting (background, panel, dividers, logo) without its children. */
    juce::Image paintEditorAlone (BrindlexAudioProcessorEditor& editor)
    {
        juce::Image image (juce::Image::ARGB, editor.getWidth(), editor.getHeight(), true);
        juce::Graphics g (image);
        editor.paint (g);
        return image;
    }

    /** A colour of alpha a laid over an opaque one, channel by channel. */
    juce::Colour over (juce::Colour top, juce::Colour below)
    {
        const float a = top.getFloatAlpha();
        const auto mix = [a] (juce::uint8 t, juce::uint8 b) { return (juce::uint8) juce::roundToInt ((float) b + ((float) t - (float) b) * a); };
        return juce::Colour (mix (top.getRed(), below.getRed()), mix (top.getGreen(), below.getGreen()),
                             mix (top.getBlue(), below.getBlue()));
    }

    ::testing::AssertionResult near (juce::Colour actual, juce::Colour expected)
    {
        const auto close = [] (int a, int b) { return std::abs (a - b) <= 2; };
        if (close (actual.getRed(), expected.getRed()) && close (actual.getGreen(), expected.getGreen())
            && close (actual.getBlue(), expected.getBlue()) && close (actual.getAlpha(), expected.getAlpha()))
            return ::testing::AssertionSuccess();

        return ::testing::AssertionFailure() << actual.toDisplayString (true) << " instead of " << expected.toDisplayString (true);
    }

    const juce::Colour background (0xff212723);
    const juce::Colour panel (0xff2b302c);
    const juce::Colour divider = over (juce::Colour (0xb2e8e0cb), panel);
}

TEST_F (EditorTest, PaintsBackgroundBandsPanelAndDividersAtTheDesignSize)
{
    const auto image = paintEditorAlone (*editor);

    EXPECT_TRUE (near (image.getPixelAt (500, 0), background));
    EXPECT_TRUE (near (image.getPixelAt (500, 41), background));
    EXPECT_TRUE (near (image.getPixelAt (500, 42), panel));
    EXPECT_TRUE (near (image.getPixelAt (500, 469), panel));
    EXPECT_TRUE (near (image.getPixelAt (500, 470), background));
    EXPECT_TRUE (near (image.getPixelAt (10, 499), background));

    // Dividers: 2 wide at 243, 486 and 729, from y 135 to 445.
    for (const int x : { 243, 486, 729 })
    {
        EXPECT_TRUE (near (image.getPixelAt (x - 1, 300), panel)) << x;
        EXPECT_TRUE (near (image.getPixelAt (x, 300), divider)) << x;
        EXPECT_TRUE (near (image.getPixelAt (x + 1, 300), divider)) << x;
        EXPECT_TRUE (near (image.getPixelAt (x + 2, 300), panel)) << x;
        EXPECT_TRUE (near (image.getPixelAt (x, 134), panel)) << x;
        EXPECT_TRUE (near (image.getPixelAt (x, 135), divider)) << x;
        EXPECT_TRUE (near (image.getPixelAt (x, 444), divider)) << x;
        EXPECT_TRUE (near (image.getPixelAt (x, 445), panel)) << x;
    }

    // The logo, recoloured to the text colour, lies in the top band at (20, 12) scaled by 0.13.
    int logoPixels = 0;
    for (int y = 12; y < 30; ++y)
        for (int x = 20; x < 114; ++x)
            if (near (image.getPixelAt (x, y), juce::Colour (0xffe8e0cb)))
                ++logoPixels;
    EXPECT_GT (logoPixels, 50);
}

TEST_F (EditorTest, PaintsTheSameBandsScaledAtTwiceTheDesignSize)
{
    editor->setSize (1960, 1000);
    const auto image = paintEditorAlone (*editor);

    EXPECT_TRUE (near (image.getPixelAt (1000, 83), background));
    EXPECT_TRUE (near (image.getPixelAt (1000, 84), panel));
    EXPECT_TRUE (near (image.getPixelAt (1000, 939), panel));
    EXPECT_TRUE (near (image.getPixelAt (1000, 940), background));

    for (const int x : { 486, 972, 1458 })
    {
        EXPECT_TRUE (near (image.getPixelAt (x - 1, 600), panel)) << x;
        EXPECT_TRUE (near (image.getPixelAt (x, 600), divider)) << x;
        EXPECT_TRUE (near (image.getPixelAt (x + 3, 600), divider)) << x;
        EXPECT_TRUE (near (image.getPixelAt (x + 4, 600), panel)) << x;
        EXPECT_TRUE (near (image.getPixelAt (x, 269), panel)) << x;
        EXPECT_TRUE (near (image.getPixelAt (x, 270), divider)) << x;
        EXPECT_TRUE (near (image.getPixelAt (x, 889), divider)) << x;
        EXPECT_TRUE (near (image.getPixelAt (x, 890), panel)) << x;
    }
}

TEST_F (EditorTest, AtTheMinimumSizeThePanelStartsAtRow31)
{
    editor->setSize (745, 380);
    const auto image = paintEditorAlone (*editor);

    EXPECT_TRUE (near (image.getPixelAt (400, 30), background));
    EXPECT_TRUE (near (image.getPixelAt (400, 31), panel));
}

TEST_F (EditorTest, RendersTheWholeEditorWithItsControls)
{
    // One audio block derives the choice indices that the boxes show.
    processor->prepareToPlay (48000.0, 64);
    juce::AudioBuffer<float> buffer (2, 64);
    buffer.clear();
    juce::MidiBuffer midi;
    processor->processBlock (buffer, midi);
    editor->timerCallback();
    EXPECT_EQ (editor->timeRangeLeftMenu.getText(), "FULL");

    const auto image = editor->createComponentSnapshot (editor->getLocalBounds());

    // The INPUT knob's value disc (default 0 dB is the top of its range) covers its background disc.
    const auto knob = editor->sliders[EditorControlTable::inputKnob]->getBounds();
    EXPECT_TRUE (near (image.getPixelAt (knob.getCentreX(), knob.getCentreY()), juce::Colour (0xffe7bc3c)));

    // A right tap pan at its default (100 %) draws its bar from the middle to the right end.
    const auto pan = editor->sliders[EditorControlTable::tapSlot (EditorControlTable::firstTapPan, 1, 1)]->getBounds();
    EXPECT_FALSE (near (image.getPixelAt (pan.getX() + 10, pan.getCentreY()), image.getPixelAt (pan.getRight() - 10, pan.getCentreY())));
}
