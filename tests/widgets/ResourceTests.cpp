#include "WidgetTestSupport.h"
#include "widgets/BrindlexResources.h"

using namespace corvantis;

TEST (BrindlexResources, TextFacesAreMadeOnceAndShared)
{
    const auto regular = BrindlexResources::getRegularTypeface();
    const auto bold = BrindlexResources::getBoldTypeface();
    ASSERT_NE (regular, nullptr);
    ASSERT_NE (bold, nullptr);

    EXPECT_EQ (regular, BrindlexResources::getRegularTypeface());
    EXPECT_EQ (bold, BrindlexResources::getBoldTypeface());
    EXPECT_NE (regular, bold);

    EXPECT_EQ (regular->getName(), "Open Sans");
    EXPECT_EQ (regular->getStyle(), "Regular");
    EXPECT_EQ (bold->getName(), "Open Sans");
    EXPECT_EQ (bold->getStyle(), "Bold");

    // Bold glyphs are wider than regular ones at the same size.
    const juce::Font r (regular), b (bold);
    EXPECT_GT (b.getStringWidthFloat ("Brindlex"), r.getStringWidthFloat ("Brindlex"));
}

TEST (BrindlexResources, IconFaceHoldsTheGlyphsTheEditorUses)
{
    const auto icons = BrindlexResources::getIconTypeface();
    ASSERT_NE (icons, nullptr);
    EXPECT_EQ (icons, BrindlexResources::getIconTypeface());
    EXPECT_EQ (icons->getName(), "FontAwesome");

    // Bell, arrows, floppy disk, bin, random, refresh, expand/compress: each has an outline.
    for (juce::juce_wchar glyph : { 0xf0f3, 0xf053, 0xf054, 0xf0c7, 0xf1f8, 0xf074, 0xf021, 0xf065, 0xf066, 0xf05b })
    {
        juce::GlyphArrangement arrangement;
        arrangement.addLineOfText (juce::Font (icons).withPointHeight (20.0f), juce::String::charToString (glyph),
                                   0.0f, 0.0f);
        juce::Path outline;
        arrangement.createPath (outline);
        EXPECT_FALSE (outline.isEmpty()) << std::hex << (int) glyph;
    }
}

TEST (BrindlexResources, LogoArtworkIsBlackAndAboutFiveAndAHalfToOne)
{
    auto logo = BrindlexResources::createLogoDrawable();
    ASSERT_NE (logo, nullptr);

    const auto bounds = logo->getDrawableBounds();
    EXPECT_NEAR (bounds.getWidth() / bounds.getHeight(), 5.4f, 0.2f);

    // Drawn as the editor does: recoloured and scaled by 0.13.
    EXPECT_TRUE (logo->replaceColour (juce::Colours::black, juce::Colour (0xffe8e0cb)));
    juce::Image image (juce::Image::ARGB, 120, 40, true);
    {
        juce::Graphics g (image);
        logo->draw (g, 1.0f, juce::AffineTransform::scale (0.13f));
    }

    EXPECT_GT (WidgetTest::countNear (image, juce::Colour (0xffe8e0cb), 2), 300);
    EXPECT_EQ (WidgetTest::countNear (image, juce::Colours::black, 40), 0);
}

TEST (BrindlexResources, LogoImageIsOneHundredSixtyFiveByThirtyTwo)
{
    const auto image = BrindlexResources::getLogoImage();
    ASSERT_TRUE (image.isValid());
    EXPECT_EQ (image.getWidth(), 165);
    EXPECT_EQ (image.getHeight(), 32);

    int opaque = 0;

    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            if (image.getPixelAt (x, y).getAlpha() == 255)
                ++opaque;

    EXPECT_GT (opaque, 500);
}
