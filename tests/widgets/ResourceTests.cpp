#include "WidgetTestSupport.h"
#include "widgets/BrindlexResources.h"

using namespace corvantis;

TEST (BrindlexResources, FacesGlyphsAndLogosAreThere)
{
    const auto regular = BrindlexResources::getRegularTypeface();
    const auto bold = BrindlexResources::getBoldTypeface();
    ASSERT_NE (regular, nullptr);
    ASSERT_NE (bold, nullptr);
    EXPECT_GT (juce::Font (bold).getStringWidthFloat ("Brindlex"), juce::Font (regular).getStringWidthFloat ("Brindlex"));

    const auto icons = BrindlexResources::getIconTypeface();
    ASSERT_NE (icons, nullptr);

    // Bell, arrows, floppy disk, bin, random, refresh, expand/compress, target: each has an outline.
    for (juce::juce_wchar glyph : { 0xf0f3, 0xf053, 0xf054, 0xf0c7, 0xf1f8, 0xf074, 0xf021, 0xf065, 0xf066, 0xf05b })
    {
        juce::GlyphArrangement arrangement;
        arrangement.addLineOfText (juce::Font (icons).withPointHeight (20.0f), juce::String::charToString (glyph), 0, 0);
        juce::Path outline;
        arrangement.createPath (outline);
        EXPECT_FALSE (outline.isEmpty()) << std::hex << (int) glyph;
    }

    auto logo = BrindlexResources::createLogoDrawable();
    ASSERT_NE (logo, nullptr);
    // The editor recolours the artwork's black.
    EXPECT_TRUE (logo->replaceColour (juce::Colours::black, juce::Colours::white));
    EXPECT_TRUE (BrindlexResources::getLogoImage().isValid());
}
