// The editor's painting and layout: design units of designWidth by designHeight scaled to the window.

#include "BrindlexAudioProcessorEditor.h"
#include "EditorGlyphs.h"

using namespace EditorControlTable;
using EditorGlyphs::glyph;
using EditorGlyphs::iconFont;

namespace
{
    const juce::Colour backgroundColour (0xff212723);
    const juce::Colour dividerColour (0xb2e8e0cb);

    juce::Font regularFont() { return juce::Font (corvantis::BrindlexResources::getRegularTypeface()); }
    juce::Font boldFont() { return juce::Font (corvantis::BrindlexResources::getBoldTypeface()); }

    /** Design coordinates become pixels by truncation toward zero. */
    int trunc (float v) { return (int) v; }
}

void BrindlexAudioProcessorEditor::paint (juce::Graphics& g)
{
    const float width = (float) getWidth();
    const float height = (float) getHeight();
    const float sx = width / (float) designWidth;
    const float sy = height / (float) designHeight;

    g.fillAll (backgroundColour);

    const int top = juce::jmin (trunc (42.0f * sy), getHeight());
    const int panelHeight = juce::jmax (0, getHeight() - top - trunc (30.0f * sy));
    g.setColour (panelColour);
    g.fillRect (0, top, getWidth(), panelHeight);

    juce::Path dividers;
    for (const float x : { 243.0f, 486.0f, 729.0f })
        dividers.addRectangle (x * sx, 135.0f * sy, 2.0f * sx, 310.0f * sy);
    g.setColour (dividerColour);
    g.fillPath (dividers);

    if (logo != nullptr)
        logo->draw (g, 1.0f, juce::AffineTransform::scale (0.13f * sx, 0.13f * sy).translated (20.0f * sx, 12.0f * sy));
}

void BrindlexAudioProcessorEditor::resized()
{
    const float width = (float) getWidth();
    const float height = (float) getHeight();
    const float sx = width / (float) designWidth;
    const float sy = height / (float) designHeight;
    const int h12 = trunc (12.0f * sy);

    editorLookAndFeel.uiScale = (float) trunc (sy);

    auto captionFont = regularFont();
    captionFont.setHeight (12.0f * sy);
    captionFont.setExtraKerningFactor (0.1f);
    auto infoFont = boldFont().withPointHeight (12.0f * sy);
    infoFont.setExtraKerningFactor (0.1f);
    auto titleFont = regularFont().withPointHeight (24.0f * sy);
    titleFont.setExtraKerningFactor (0.25f);
    auto subTitleFont = regularFont().withPointHeight (10.0f * sy);
    subTitleFont.setExtraKerningFactor (0.1f);
    const auto versionFont = regularFont().withPointHeight (10.0f * sy);

    for (auto* label : captionLabels())
        label->setFont (captionFont);
    titleLabel.setFont (titleFont);
    subTitleLabel.setFont (subTitleFont);
    versionLabel.setFont (versionFont);
    infoLabel.setFont (infoFont);

    prevButton->buttonLAF.font = iconFont (18.0f * sy);
    nextButton->buttonLAF.font = iconFont (18.0f * sy);
    saveButton->buttonLAF.font = iconFont (14.0f * sy);
    delButton->buttonLAF.font = iconFont (14.0f * sy);
    randButton->buttonLAF.font = iconFont (12.0f * sy);
    reloadButton->buttonLAF.font = iconFont (12.0f * sy);
    resetSizeButton->buttonLAF.font = iconFont (12.0f * sy);

    auto toolFont = juce::Font (corvantis::BrindlexResources::getIconTypeface());
    toolFont.setHeight (18.0f * sy);
    const juce::Font syncFont ("Arial", 12.0f * sy, juce::Font::bold);
    for (int slot = 0; slot < numToggles; ++slot)
        toggleButtons[(size_t) slot]->buttonLAF.font = toggleRows[(size_t) slot].isTempoSync ? syncFont : toolFont;

    // Full size and top bar.
    aboutOverlay.setBounds (0, 0, getWidth(), getHeight());
    logoMenu.setBounds (trunc (20.0f * sx), trunc (12.0f * sy), trunc (103.0f * sx), trunc (29.0f * sy));
    presetMenu.setBounds (trunc (width * 0.5f - 225.0f * sx * 0.5f), trunc (8.0f * sy), trunc (225.0f * sx), trunc (27.0f * sy));

    const auto pm = presetMenu.getBounds();
    prevButton->setBounds (pm.getX() - pm.getHeight(), pm.getY(), pm.getHeight(), pm.getHeight());
    nextButton->setBounds (pm.getRight(), pm.getY(), pm.getHeight(), pm.getHeight());
    saveButton->setBounds (nextButton->getRight(), pm.getY(), pm.getHeight(), pm.getHeight());
    delButton->setBounds (saveButton->getRight(), pm.getY(), pm.getHeight(), pm.getHeight());
    reloadButton->setBounds (prevButton->getX() - pm.getHeight(), pm.getY(), pm.getHeight(), pm.getHeight());
    randButton->setBounds (reloadButton->getX() - pm.getHeight(), pm.getY(), pm.getHeight(), pm.getHeight());

    const float delRight = (float) delButton->getRight();
    if (audioProcessor.newsfeedEnabled)
    {
        newsView->scaleX = sx;
        newsView->scaleY = sy;
        newsView->setBounds (trunc (delRight - 10.0f * sx), trunc (2.0f * sy), trunc (40.0f * sx), trunc (40.0f * sy));
    }

    versionLabel.setBounds (trunc (delRight + 20.0f * sx), pm.getY(), trunc (248.0f * sx), pm.getHeight());
    titleLabel.setBounds (trunc (823.0f * sx), trunc (60.0f * sy), trunc (134.0f * sx), trunc (18.0f * sy));
    subTitleLabel.setBounds (titleLabel.getX(), trunc ((float) titleLabel.getY() + (float) titleLabel.getHeight() + 4.0f * sy),
                             trunc (128.0f * sx), trunc (18.0f * sy));

    // Main strip: captions in screen order, each knob centred under its caption.
    {
        inputLabel.setBounds (trunc (53.0f * sx), trunc (62.0f * sy), trunc (55.0f * sx), h12);
        const int knobY = trunc ((float) inputLabel.getY() + (float) inputLabel.getHeight() + 3.0f * sy);

        KT_ResizableLabel* previous = nullptr;
        const std::pair<KT_ResizableLabel*, int> strip[] = { { &inputLabel, inputKnob }, { &driveLabel, driveKnob },
                                                             { &lfCutLabel, lfCutKnob }, { &hfCutLabel, hfCutKnob },
                                                             { &dryLabel, dryKnob },     { &wetLabel, wetKnob } };
        for (const auto& [caption, slot] : strip)
        {
            if (previous != nullptr)
                caption->setBounds (previous->getRight(), inputLabel.getY(), trunc (55.0f * sx), h12);

            sliders[(size_t) slot]->setBounds (trunc ((float) caption->getX() + 55.0f * sx * 0.5f - 1.0f - 17.0f * sx * 0.5f),
                                               knobY, trunc (17.0f * sx), trunc (17.0f * sy));
            previous = caption;
        }
    }

    // Section headers.
    const int headerY = trunc (135.0f * sy);
    const int headerW = trunc (245.0f * sx);
    leftTapsLabel.setBounds (0, headerY, headerW, h12);
    rightTapsLabel.setBounds (trunc (245.0f * sx), headerY, headerW, h12);
    fbkTapsLabel.setBounds (trunc (2.0f * 245.0f * sx), headerY, headerW, h12);
    lfoLabel.setBounds (trunc (3.0f * 245.0f * sx), headerY, headerW, h12);

    layOutTapSection (0);
    layOutTapSection (1);

    // FBK TAPS: left and right control of each row 14 design units apart.
    {
        const float c = 2.0f * 245.0f * sx;
        const int capX = trunc (c + 5.0f * sx);
        const int rowX = trunc (c + 61.0f * sx);
        const int rowW = trunc (124.0f * sx);

        fbkModeLeftMenu.setBounds (rowX, trunc (135.0f * sy + 44.0f * sy), rowW, h12);
        fbkModeRightMenu.setBounds (fbkModeLeftMenu.getX(), trunc ((float) fbkModeLeftMenu.getY() + 12.0f * sy + 2.0f * sy), rowW, h12);
        modeLabel.setBounds (capX, trunc ((float) fbkModeLeftMenu.getY() + 9.0f * sy), trunc (55.0f * sx), trunc (8.0f * sy));

        int previousY = fbkModeRightMenu.getY();
        const auto placeRow = [&] (int leftSlot, KT_ResizableLabel& caption, bool twoLineCaption)
        {
            auto& left = *sliders[(size_t) leftSlot];
            auto& right = *sliders[(size_t) leftSlot + 1];
            left.setBounds (rowX, trunc ((float) previousY + 12.0f * sy + 14.0f * sy), rowW, h12);
            right.setBounds (rowX, trunc ((float) left.getY() + 12.0f * sy + 2.0f * sy), rowW, h12);

            if (twoLineCaption)
                caption.setBounds (capX, left.getY(), trunc (55.0f * sx), trunc (24.0f * sy + 2.0f * sy));
            else
                caption.setBounds (capX, trunc ((float) left.getY() + 9.0f * sy), trunc (55.0f * sx), trunc (8.0f * sy));

            previousY = right.getY();
        };

        placeRow (fbkTimeLeft, fbkTimeLabel, false);
        for (const int slot : { fbkLeftSync, fbkRightSync })
        {
            const auto& slider = *sliders[(size_t) (slot == fbkLeftSync ? fbkTimeLeft : fbkTimeLeft + 1)];
            toggleButtons[(size_t) slot]->setBounds (trunc ((float) slider.getX() + (float) slider.getWidth() + 10.0f * sx),
                                                     slider.getY(), h12, h12);
        }

        placeRow (fbkModLeft, fbkModLabel, false);
        placeRow (fbkLevelLeft, fbkLevelLabel, false);
        placeRow (fbkLeft, fbkLabel, false);
        placeRow (lowDampLeft, lowDampLabel, true);
        placeRow (hiDampLeft, hiDampLabel, true);
    }

    // LFO.
    {
        const float c = 3.0f * 245.0f * sx;
        const int rowW = trunc (124.0f * sx);

        lfoShapeLeftMenu.setBounds (trunc (61.0f * sx + c), trunc (135.0f * sy + 44.0f * sy), rowW, h12);
        lfoShapeRightMenu.setBounds (lfoShapeLeftMenu.getX(), trunc ((float) lfoShapeLeftMenu.getY() + 12.0f * sy + 2.0f * sy), rowW, h12);
        shapeLabel.setBounds (trunc (5.0f * sx + c), trunc ((float) lfoShapeLeftMenu.getY() + 9.0f * sy), trunc (55.0f * sx), trunc (8.0f * sy));

        auto& rateL = *sliders[(size_t) rateLeft];
        auto& rateR = *sliders[(size_t) rateLeft + 1];
        rateL.setBounds (trunc (61.0f * sx + c), trunc (14.0f * sy + (float) lfoShapeRightMenu.getY() + 12.0f * sy), rowW, h12);
        rateR.setBounds (rateL.getX(), trunc (2.0f * sy + (float) rateL.getY() + 12.0f * sy), rowW, h12);
        rateLabel.setBounds (trunc (5.0f * sx + c), trunc (9.0f * sy + (float) rateL.getY()), trunc (55.0f * sx), trunc (8.0f * sy));

        toggleButtons[lfoLeftSync]->setBounds (trunc ((float) rateL.getX() + (float) rateL.getWidth() + 10.0f * sx), rateL.getY(), h12, h12);
        toggleButtons[lfoRightSync]->setBounds (trunc ((float) rateR.getX() + (float) rateR.getWidth() + 10.0f * sx), rateR.getY(), h12, h12);
    }

    // TOOLS.
    {
        const float cx = (float) trunc (width - 245.0f * sx * 0.5f);
        const int lowDampY = sliders[(size_t) lowDampLeft]->getY();

        toolsLabel.setBounds (lfoLabel.getX(), sliders[(size_t) fbkLevelLeft]->getY(), lfoLabel.getWidth(), lfoLabel.getHeight());

        auto& link = *toggleButtons[linkToggle];
        link.setBounds (trunc (cx - 40.0f * sx), trunc ((float) toolsLabel.getY() + 44.0f * sy), trunc (20.0f * sx), trunc (20.0f * sy));
        linkLabel.setBounds (trunc ((float) link.getX() - 55.0f * sx), trunc ((float) link.getY() + 5.0f * sy), trunc (55.0f * sx), h12);

        auto& loop = *toggleButtons[loopToggle];
        loop.setBounds (trunc (20.0f * sx + cx), link.getY(), trunc (20.0f * sx), trunc (20.0f * sy));
        loopLabel.setBounds (loop.getRight(), trunc ((float) loop.getY() + 5.0f * sy), trunc (55.0f * sx), h12);

        auto& reverse = *toggleButtons[reverseToggle];
        reverse.setBounds (loop.getX(), lowDampY, trunc (20.0f * sx), trunc (20.0f * sy));
        reverseLabel.setBounds (reverse.getRight(), trunc ((float) reverse.getY() + 5.0f * sy), trunc (55.0f * sx), h12);

        auto& speed = *sliders[speedKnob];
        speed.setBounds (link.getX(), lowDampY, trunc (20.0f * sx), trunc (20.0f * sy));
        speedLabel.setBounds (trunc ((float) speed.getX() - 55.0f * sx), reverseLabel.getY(), trunc (55.0f * sx), h12);
    }

    // Bottom.
    infoLabel.setBounds (0, trunc (height - 30.0f * sy), getWidth(), trunc (30.0f * sy));
    resetSizeButton->setBounds (trunc (20.0f * sx), trunc (height - 22.0f * sy), trunc (16.0f * sx), trunc (16.0f * sy));
    cornerResizer->setBounds (trunc (width - 12.0f * sx), trunc (height - 12.0f * sy), trunc (12.0f * sx), h12);

    const auto resetGlyph = glyph (getWidth() == designWidth ? 0xF05B : (getWidth() < designWidth ? 0xF065 : 0xF066));
    if (resetSizeButton->getButtonText() != resetGlyph)
    {
        resetSizeButton->setButtonText (resetGlyph);
        resetSizeButton->repaint();
    }

    audioProcessor.currentWidth = getWidth();
    audioProcessor.currentHeight = getHeight();
}

void BrindlexAudioProcessorEditor::layOutTapSection (int channel)
{
    const float sx = (float) getWidth() / (float) designWidth;
    const float sy = (float) getHeight() / (float) designHeight;
    const int h12 = trunc (12.0f * sy);
    const float c = channel == 0 ? 0.0f : 245.0f * sx;
    const bool left = channel == 0;
    const int rowX = trunc (c + 61.0f * sx);
    const int rowW = trunc (124.0f * sx);
    const int capX = trunc (c + 5.0f * sx);

    auto& box = left ? timeRangeLeftMenu : timeRangeRightMenu;
    box.setBounds (rowX, trunc (135.0f * sy + 44.0f * sy), rowW, h12);
    (left ? leftRangeLabel : rightRangeLabel).setBounds (capX, trunc ((float) box.getY() + 3.0f * sy), trunc (55.0f * sx), trunc (8.0f * sy));

    auto slider = [&] (int first, int tap) -> juce::Slider& { return *sliders[(size_t) tapSlot (first, channel, tap)]; };

    slider (firstTapTime, 1).setBounds (rowX, trunc ((float) box.getY() + 24.0f * sy + 2.0f * sy + 14.0f * sy), rowW, h12);

    const auto placeFollowingTaps = [&] (int first)
    {
        for (int tap = 2; tap <= 3; ++tap)
            slider (first, tap).setBounds (slider (first, 1).getX(), trunc ((float) slider (first, tap - 1).getY() + 12.0f * sy + 2.0f * sy), rowW, h12);
    };
    const auto placeCaption = [&] (KT_ResizableLabel& caption, int first)
    {
        caption.setBounds (capX, trunc ((float) slider (first, 2).getY() + 2.0f * sy), trunc (55.0f * sx), trunc (8.0f * sy));
    };
    const auto placeFirstTap = [&] (int first, int previousFirst)
    {
        slider (first, 1).setBounds (slider (firstTapTime, 1).getX(), trunc ((float) slider (previousFirst, 3).getY() + 12.0f * sy + 14.0f * sy), rowW, h12);
    };

    placeFollowingTaps (firstTapTime);
    placeCaption (left ? leftTimeLabel : rightTimeLabel, firstTapTime);

    for (int tap = 1; tap <= 3; ++tap)
    {
        const auto& time = slider (firstTapTime, tap);
        toggleButtons[(size_t) ((left ? leftSync1 : rightSync1) + tap - 1)]->setBounds (trunc ((float) time.getX() + (float) time.getWidth() + 10.0f * sx),
                                                                                        time.getY(), h12, h12);
    }

    placeFirstTap (firstTapMod, firstTapTime);
    placeFollowingTaps (firstTapMod);
    placeCaption (left ? leftModLabel : rightModLabel, firstTapMod);

    placeFirstTap (firstTapPan, firstTapMod);
    placeFollowingTaps (firstTapPan);
    placeCaption (left ? leftPanLabel : rightPanLabel, firstTapPan);

    placeFirstTap (firstTapLevel, firstTapPan);
    placeFollowingTaps (firstTapLevel);
    placeCaption (left ? leftLevelLabel : rightLevelLabel, firstTapLevel);
}
