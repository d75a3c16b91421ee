#include "WidgetTestSupport.h"
#include "widgets/BrindlexLookAndFeel.h"
#include "widgets/BrindlexResources.h"
#include "widgets/KT_ComboBox.h"
#include "widgets/KT_ResizableComboBox.h"

using namespace WidgetTest;
using corvantis::BrindlexLookAndFeel;

namespace
{
    juce::Font labelFont (BrindlexLookAndFeel& lf, const juce::String& name, int height)
    {
        juce::Label label (name);
        label.setSize (100, height);
        return lf.getLabelFont (label);
    }

    bool isFace (const juce::Font& font, const juce::Typeface::Ptr& face)
    {
        return font.getTypefacePtr() == face;
    }

    const char* const parameterBoxNames[] = { "timeRangeLeftMenu", "timeRangeRightMenu", "fbkModeLeftMenu",
                                              "fbkModeRightMenu", "lfoShapeLeftMenu", "lfoShapeRightMenu" };
}

TEST (BrindlexLookAndFeel, ParameterBoxLabelsUseTheRegularFaceUpToSixteenPoints)
{
    BrindlexLookAndFeel lf;
    const auto regular = corvantis::BrindlexResources::getRegularTypeface();

    for (auto* name : parameterBoxNames)
    {
        const auto small = labelFont (lf, name, 10);
        EXPECT_TRUE (isFace (small, regular)) << name;
        EXPECT_NEAR (small.getHeightInPoints(), 8.5f, 0.01f) << name;
        EXPECT_FLOAT_EQ (small.getExtraKerningFactor(), 0.1f) << name;

        EXPECT_NEAR (labelFont (lf, name, 18).getHeightInPoints(), 15.3f, 0.01f) << name;
        EXPECT_NEAR (labelFont (lf, name, 19).getHeightInPoints(), 16.0f, 0.01f) << name;
        EXPECT_NEAR (labelFont (lf, name, 60).getHeightInPoints(), 16.0f, 0.01f) << name;
    }

    // Names are compared exactly.
    EXPECT_TRUE (isFace (labelFont (lf, "lfoshapeLeftMenu", 10), corvantis::BrindlexResources::getBoldTypeface()));
}

TEST (BrindlexLookAndFeel, PresetMenuLabelFollowsTheScaleFromTenPoints)
{
    BrindlexLookAndFeel lf;
    const auto regular = corvantis::BrindlexResources::getRegularTypeface();

    lf.uiScale = 0.0f;
    EXPECT_TRUE (isFace (labelFont (lf, "presetMenu", 20), regular));
    EXPECT_NEAR (labelFont (lf, "presetMenu", 20).getHeightInPoints(), 10.0f, 0.01f);
    EXPECT_FLOAT_EQ (labelFont (lf, "presetMenu", 20).getExtraKerningFactor(), 0.0f);

    lf.uiScale = 0.5f;
    EXPECT_NEAR (labelFont (lf, "presetMenu", 20).getHeightInPoints(), 10.0f, 0.01f);

    lf.uiScale = 1.0f;
    EXPECT_NEAR (labelFont (lf, "presetMenu", 20).getHeightInPoints(), 14.0f, 0.01f);

    lf.uiScale = 2.0f;
    EXPECT_NEAR (labelFont (lf, "presetMenu", 20).getHeightInPoints(), 28.0f, 0.01f);
}

TEST (BrindlexLookAndFeel, OtherLabelsUseTheBoldFaceAtElevenPoints)
{
    BrindlexLookAndFeel lf;
    const auto bold = corvantis::BrindlexResources::getBoldTypeface();

    for (auto* name : { "", "infoLabel", "logoMenu", "sampleMenu" })
    {
        const auto font = labelFont (lf, name, 40);
        EXPECT_TRUE (isFace (font, bold)) << name;
        EXPECT_NEAR (font.getHeightInPoints(), 11.0f, 0.01f) << name;
        EXPECT_EQ (font.getTypefaceStyle(), "Bold") << name;
    }
}

TEST (BrindlexLookAndFeel, ComboBoxFontsByName)
{
    BrindlexLookAndFeel lf;

    juce::ComboBox preset ("presetMenu"), sample ("sampleMenu"), other ("logoMenu");
    const auto presetFont = lf.getComboBoxFont (preset);
    EXPECT_TRUE (isFace (presetFont, corvantis::BrindlexResources::getRegularTypeface()));
    EXPECT_NEAR (presetFont.getHeightInPoints(), 16.0f, 0.01f);

    EXPECT_EQ (lf.getComboBoxFont (sample), juce::Font (12.0f, juce::Font::plain));
    EXPECT_EQ (lf.getComboBoxFont (other), juce::Font (14.0f, juce::Font::plain));
}

TEST (BrindlexLookAndFeel, ComboBoxTextLabelCarriesTheBoxNameAndCoversTheBox)
{
    BrindlexLookAndFeel lf;
    corvantis::KT_ResizableComboBox box;
    box.setName ("lfoShapeLeftMenu");
    box.setLookAndFeel (&lf);
    box.setSize (90, 16);

    juce::Label* text = nullptr;

    for (auto* child : box.getChildren())
        if (auto* label = dynamic_cast<juce::Label*> (child))
            text = label;

    ASSERT_NE (text, nullptr);
    EXPECT_EQ (text->getName(), "lfoShapeLeftMenu");
    EXPECT_EQ (text->getBounds(), juce::Rectangle<int> (1, 0, 89, 15));
    EXPECT_TRUE (isFace (lf.getLabelFont (*text), corvantis::BrindlexResources::getRegularTypeface()));
    EXPECT_NEAR (lf.getLabelFont (*text).getHeightInPoints(), 0.85f * 15.0f, 0.01f);

    box.setLookAndFeel (nullptr);
}

TEST (BrindlexLookAndFeel, StoresThePopupMenuAndTextEditorColours)
{
    BrindlexLookAndFeel lf;
    EXPECT_EQ (lf.findColour (juce::PopupMenu::backgroundColourId), juce::Colour (0xFF2B302C));
    EXPECT_EQ (lf.findColour (juce::PopupMenu::textColourId), juce::Colour (0xFFE8E0CB));
    EXPECT_EQ (lf.findColour (juce::PopupMenu::highlightedBackgroundColourId), juce::Colour (0xFFE8E0CB));
    EXPECT_EQ (lf.findColour (juce::PopupMenu::highlightedTextColourId), juce::Colour (0xFF2B302C));
    EXPECT_EQ (lf.findColour (juce::TextEditor::highlightColourId), juce::Colour (0xFFDEDDDD));
    EXPECT_EQ (lf.findColour (juce::TextEditor::outlineColourId), juce::Colour (0xFF313030));
}

TEST (BrindlexLookAndFeel, ResizerLinesAreThickAsSevenAndAHalfPercentOfTheSide)
{
    // Only the main lines, on a transparent image: a 45-degree line of thickness t crosses a row over t * sqrt 2.
    const auto rowCoverage = [] (int side)
    {
        BrindlexLookAndFeel lf;
        lf.resizerColours[0] = juce::Colours::transparentBlack;
        juce::Image image (juce::Image::ARGB, side, side, true);
        {
            juce::Graphics g (image);
            lf.drawCornerResizer (g, side, side, false, false);
        }

        // Row in the middle: the first line (i = 0) crosses it at x = side + 1 - y - 0.5.
        const int y = side / 2;
        const int centre = side - y;
        float sum = 0.0f;

        for (int x = centre - 3; x <= centre + 3; ++x)
            sum += image.getPixelAt (x, y).getFloatAlpha();

        return sum;
    };

    EXPECT_NEAR (rowCoverage (20), 1.5f * std::sqrt (2.0f), 0.15f);
    EXPECT_NEAR (rowCoverage (40), 3.0f * std::sqrt (2.0f), 0.15f);
}

TEST (BrindlexLookAndFeel, ResizerDrawsFourPairsInTheTwoColours)
{
    BrindlexLookAndFeel lf;
    juce::Image image (juce::Image::ARGB, 40, 40, true);
    {
        juce::Graphics g (image);
        lf.drawCornerResizer (g, 40, 40, false, false);
    }

    // Main lines cross the bottom row near x = 0, 12, 24 and 36; each is followed by its dark offset line.
    EXPECT_GT (countNear (image, juce::Colour (0xFFE8E0CB), 4), 40);
    EXPECT_GT (countNear (image, juce::Colour (0xFF2B302C), 4), 40);

    int lightRuns = 0;
    bool inLight = false;

    for (int x = 0; x < 40; ++x)
    {
        const bool light = near (image.getPixelAt (x, 30), juce::Colour (0xFFE8E0CB), 60);

        if (light && ! inLight)
            ++lightRuns;

        inLight = light;
    }

    EXPECT_EQ (lightRuns, 3);  // the fourth line (i = 0.9) meets row 30 beyond the image
}

class BrindlexComboFrame : public MenuTest
{
protected:
    void SetUp() override
    {
        MenuTest::SetUp();
        box.setName ("fbkModeLeftMenu");
        box.setLookAndFeel (&lf);
        box.addItem ("Normal", 1);
        box.addItem ("Cross", 2);
        box.setColour (juce::ComboBox::backgroundColourId, juce::Colour (0xff000000));
        box.setColour (juce::ComboBox::outlineColourId, juce::Colour (0xffff0000));
        box.setColour (juce::ComboBox::buttonColourId, juce::Colour (0xff0000ff));
        box.setBounds (10, 10, 120, 30);
        window.addAndMakeVisible (box);
    }

    void TearDown() override
    {
        box.setLookAndFeel (nullptr);
        MenuTest::TearDown();
    }

    BrindlexLookAndFeel lf;
    DesktopWindow window;
    corvantis::KT_ResizableComboBox box;
};

TEST_F (BrindlexComboFrame, UnfocusedBoxHasAOnePixelOutline)
{
    auto image = render (box);
    EXPECT_TRUE (pixelIs (image, 0, 15, juce::Colour (0xffff0000)));
    EXPECT_TRUE (pixelIs (image, 60, 29, juce::Colour (0xffff0000)));
    EXPECT_TRUE (pixelIs (image, 1, 15, juce::Colour (0xff000000)));
    EXPECT_TRUE (pixelIs (image, 60, 1, juce::Colour (0xff000000)));
    EXPECT_EQ (countNear (image, juce::Colour (0xff0000ff), 60), 0);
}

TEST_F (BrindlexComboFrame, FocusedBoxAddsATwoPixelFrameInsideTheOutline)
{
    ASSERT_TRUE (focus (box));
    auto image = render (box);
    EXPECT_TRUE (pixelIs (image, 0, 15, juce::Colour (0xffff0000)));
    EXPECT_TRUE (pixelIs (image, 1, 15, juce::Colour (0xff0000ff)));
    EXPECT_TRUE (pixelIs (image, 60, 1, juce::Colour (0xff0000ff)));
    EXPECT_TRUE (pixelIs (image, 118, 15, juce::Colour (0xff0000ff)));
    EXPECT_TRUE (pixelIs (image, 119, 15, juce::Colour (0xffff0000)));
    EXPECT_TRUE (pixelIs (image, 2, 15, juce::Colour (0xff000000)));

    // A disabled box shows only the outline even while it is focused.
    box.setEnabled (false);
    auto disabled = render (box);
    EXPECT_TRUE (pixelIs (disabled, 1, 15, juce::Colour (0xff000000)));
}
