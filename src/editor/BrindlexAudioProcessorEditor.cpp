#include "BrindlexAudioProcessorEditor.h"
#include "BrindlexVersion.h"
#include "widgets/BrindlexResources.h"

using namespace EditorControlTable;

namespace
{
    const juce::String versionText (BrindlexVersion::shortText);
    const juce::Colour toolOffColour (0x80e8e0cb);
    const juce::Colour backgroundColour (0xff212723);
    const juce::Colour dividerColour (0xb2e8e0cb);

    juce::Font regularFont() { return juce::Font (corvantis::BrindlexResources::getRegularTypeface()); }
    juce::Font boldFont() { return juce::Font (corvantis::BrindlexResources::getBoldTypeface()); }

    juce::Font iconFont (float pointHeight)
    {
        return juce::Font (corvantis::BrindlexResources::getIconTypeface()).withPointHeight (pointHeight);
    }

    juce::String glyph (juce::juce_wchar character) { return juce::String::charToString (character); }

    /** Design coordinates become pixels by truncation toward zero. */
    int trunc (float v) { return (int) v; }
}

BrindlexAudioProcessorEditor::BrindlexAudioProcessorEditor (BrindlexAudioProcessor& p)
    : juce::AudioProcessorEditor (p),
      audioProcessor (p)
{
    randomGenerator.setSeedRandomly();
    currentPresetName = audioProcessor.presetName;

    editorLookAndFeel.setColour (juce::PopupMenu::highlightedBackgroundColourId, textColour);
    editorLookAndFeel.setColour (juce::PopupMenu::highlightedTextColourId, panelColour);
    editorLookAndFeel.setColour (juce::PopupMenu::backgroundColourId, panelColour);
    editorLookAndFeel.setColour (juce::PopupMenu::textColourId, textColour);
    setLookAndFeel (&editorLookAndFeel);

    const juce::Colour transparent (0x00000000);

    addAndMakeVisible (logoMenu);
    logoMenu.setName ("logoMenu");
    logoMenu.addListener (this);
    logoMenu.setEditableText (false);
    logoMenu.setLookAndFeel (&editorLookAndFeel);
    logoMenu.setColour (juce::ComboBox::backgroundColourId, transparent);
    logoMenu.setColour (juce::ComboBox::outlineColourId, transparent);
    logoMenu.setColour (juce::ComboBox::buttonColourId, transparent);
    logoMenu.setColour (juce::ComboBox::arrowColourId, transparent);
    logoMenu.setColour (juce::ComboBox::textColourId, textColour);
    logoMenu.addItem ("Visit Corvantis Website", 1);
    logoMenu.addItem ("Open Online Manual", 2);
    logoMenu.addSeparator();
    {
        juce::PopupMenu online;
        online.addItem (100, "Corvantis YouTube");
        online.addItem (101, "Facebook Page");
        online.addItem (102, "Facebook User Group");
        online.addItem (103, "Corvantis User Area");
        logoMenu.getRootMenu()->addSubMenu ("Corvantis Online", online);
    }
    logoMenu.addSeparator();
    logoMenu.addItem ("About", 4);
    logoMenu.addSeparator();
    logoMenu.addItem ("Settings", 5);

    setUpPresetBrowser();

    const auto makeBarButton = [this] (std::unique_ptr<KT_TextButton>& button, const char* name,
                                       juce::juce_wchar character, float pointHeight)
    {
        button = std::make_unique<KT_TextButton> (textColour, textColour);
        addAndMakeVisible (*button);
        button->setName (name);
        button->setButtonText (glyph (character));
        button->buttonLAF.font = iconFont (pointHeight);
        button->addListener (this);
        button->setClickingTogglesState (true);
    };

    makeBarButton (prevButton, "prevButton", 0xF0D9, 18.0f);
    makeBarButton (nextButton, "nextButton", 0xF0DA, 18.0f);
    makeBarButton (saveButton, "saveButton", 0xF0C7, 16.0f);
    makeBarButton (delButton, "delButton", 0xF00D, 16.0f);
    makeBarButton (randButton, "randButton", 0xF074, 15.0f);
    makeBarButton (reloadButton, "reloadButton", 0xF01E, 15.0f);

    const auto showCaption = [this] (KT_ResizableLabel& label, const juce::String& text)
    {
        addAndMakeVisible (label);
        label.setText (text, juce::dontSendNotification);
        label.setJustificationType (juce::Justification::centred);
        label.setColour (juce::Label::textColourId, textColour);
    };

    addAndMakeVisible (versionLabel);
    versionLabel.setName ("brindlexVersion");
    versionLabel.setText (" - v" + versionText, juce::dontSendNotification);
    versionLabel.setJustificationType (juce::Justification::centredRight);
    versionLabel.setColour (juce::Label::textColourId, textColour);

    newsView = std::make_unique<corvantis::KT_NewsFeedComponent> (textColour);
    addAndMakeVisible (*newsView);
    newsView->setVisible (audioProcessor.newsfeedEnabled);

    showCaption (titleLabel, "BRINDLEX");
    showCaption (subTitleLabel, "STEREO MULTI TAP DELAY");

    showCaption (inputLabel, "INPUT");
    createSlider (inputKnob);
    showCaption (lfCutLabel, "LF CUT");
    createSlider (lfCutKnob);
    showCaption (hfCutLabel, "HF CUT");
    createSlider (hfCutKnob);
    showCaption (dryLabel, "DRY");
    createSlider (dryKnob);
    showCaption (wetLabel, "WET");
    createSlider (wetKnob);
    showCaption (driveLabel, "DRIVE");
    createSlider (driveKnob);

    for (int channel = 0; channel < 2; ++channel)
    {
        const bool left = channel == 0;
        showCaption (left ? leftTapsLabel : rightTapsLabel, left ? "LEFT TAPS" : "RIGHT TAPS");
        showCaption (left ? leftRangeLabel : rightRangeLabel, "RANGE");
        setUpComboBox (left ? timeRangeLeft : timeRangeRight);

        showCaption (left ? leftTimeLabel : rightTimeLabel, "TIME");
        for (int tap = 1; tap <= 3; ++tap)
        {
            createSlider (tapSlot (firstTapTime, channel, tap));
            createToggle ((left ? leftSync1 : rightSync1) + tap - 1);
        }

        showCaption (left ? leftModLabel : rightModLabel, "MOD");
        for (int tap = 1; tap <= 3; ++tap)
            createSlider (tapSlot (firstTapMod, channel, tap));

        showCaption (left ? leftPanLabel : rightPanLabel, "PAN");
        for (int tap = 1; tap <= 3; ++tap)
            createSlider (tapSlot (firstTapPan, channel, tap));

        showCaption (left ? leftLevelLabel : rightLevelLabel, "LEVEL");
        for (int tap = 1; tap <= 3; ++tap)
            createSlider (tapSlot (firstTapLevel, channel, tap));
    }

    showCaption (fbkTapsLabel, "FBK TAPS");
    showCaption (modeLabel, "MODE");
    setUpComboBox (fbkModeLeft);
    setUpComboBox (fbkModeRight);
    showCaption (fbkTimeLabel, "TIME");
    createSlider (fbkTimeLeft);
    createToggle (fbkLeftSync);
    createSlider (fbkTimeLeft + 1);
    createToggle (fbkRightSync);
    showCaption (fbkModLabel, "MOD");
    createSlider (fbkModLeft);
    createSlider (fbkModLeft + 1);
    showCaption (fbkLevelLabel, "LEVEL");
    createSlider (fbkLevelLeft);
    createSlider (fbkLevelLeft + 1);
    showCaption (fbkLabel, "FBK");
    createSlider (fbkLeft);
    createSlider (fbkLeft + 1);
    showCaption (lowDampLabel, "LOW\r\nDAMP");
    createSlider (lowDampLeft);
    createSlider (lowDampLeft + 1);
    showCaption (hiDampLabel, "HI\r\nDAMP");
    createSlider (hiDampLeft);
    createSlider (hiDampLeft + 1);

    showCaption (lfoLabel, "LFO");
    showCaption (shapeLabel, "SHAPE");
    setUpComboBox (lfoShapeLeft);
    setUpComboBox (lfoShapeRight);
    showCaption (rateLabel, "RATE");
    createSlider (rateLeft);
    createToggle (lfoLeftSync);
    createSlider (rateLeft + 1);
    createToggle (lfoRightSync);

    showCaption (toolsLabel, "TOOLS");
    showCaption (linkLabel, "LINK");
    createToggle (linkToggle);
    showCaption (loopLabel, "LOOP");
    createToggle (loopToggle);
    showCaption (speedLabel, "SPEED");
    createSlider (speedKnob);
    showCaption (reverseLabel, "REVERSE");
    createToggle (reverseToggle);

    showCaption (infoLabel, {});

    resetSizeButton = std::make_unique<KT_TextButton> (textColour, textColour);
    addAndMakeVisible (*resetSizeButton);
    resetSizeButton->setName ("resetSizeButton");
    resetSizeButton->setButtonText (glyph (0xF05B));
    resetSizeButton->buttonLAF.font = iconFont (12.0f);
    resetSizeButton->addListener (this);
    resetSizeButton->setClickingTogglesState (true);
    resetSizeButton->description = "Reset the screen size to default";
    resetSizeButton->infoLabel = &infoLabel;

    cornerResizer = std::make_unique<juce::ResizableCornerComponent> (this, &sizeConstrainer);
    addAndMakeVisible (*cornerResizer);

    if (const auto* display = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay())
        sizeConstrainer.setSizeLimits (745, 380, display->userArea.getWidth(), display->userArea.getHeight());
    else
        sizeConstrainer.setMinimumSize (745, 380);

    sizeConstrainer.setFixedAspectRatio (1.96);

    addChildComponent (aboutOverlay);

    // A parameter locked in an earlier editor stays locked in this one.
    for (int i = knobList.size(); --i >= 0;)
        knobList[i]->locked = audioProcessor.parameterLocks[(size_t) knobList[i]->paramIndex].load (std::memory_order_relaxed);
    for (int i = sliderList.size(); --i >= 0;)
        sliderList[i]->locked = audioProcessor.parameterLocks[(size_t) sliderList[i]->paramIndex].load (std::memory_order_relaxed);

    logo = corvantis::BrindlexResources::createLogoDrawable();
    if (logo != nullptr)
        logo->replaceColour (juce::Colours::black, textColour);

    // The stored size comes from the host state. One that no display can show (a damaged or foreign state) would
    // make the window's backing image too large to allocate, so the window opens at its design size instead.
    const int storedWidth = audioProcessor.currentWidth.load();
    const int storedHeight = audioProcessor.currentHeight.load();
    const bool storedSizeIsDrawable = storedWidth > 0 && storedWidth <= maxStoredSide
                                      && storedHeight > 0 && storedHeight <= maxStoredSide;

    if (storedSizeIsDrawable)
        setBounds (getX(), getY(), storedWidth, storedHeight);
    else
        setBounds (getX(), getY(), designWidth, designHeight);

    startTimer (50);
}

BrindlexAudioProcessorEditor::~BrindlexAudioProcessorEditor()
{
    stopTimer();
    setLookAndFeel (nullptr);
}

std::pair<juce::Colour, juce::Colour> BrindlexAudioProcessorEditor::coloursOf (Tint tint) const
{
    switch (tint)
    {
        case Tint::yellow:  return { yellowDimColour, yellowColour };
        case Tint::orange:  return { orangeDimColour, orangeColour };
        case Tint::red:     return { redDimColour, redColour };
        case Tint::crimson: return { crimsonDimColour, crimsonColour };
        case Tint::purple:  return { purpleDimColour, purpleColour };
        case Tint::tool:    return { toolOffColour, textColour };
    }

    return { toolOffColour, textColour };
}

KT_ResizableLabel& BrindlexAudioProcessorEditor::captionLabelOf (Group group)
{
    switch (group)
    {
        case Group::input:      return inputLabel;
        case Group::lfCut:      return lfCutLabel;
        case Group::hfCut:      return hfCutLabel;
        case Group::dry:        return dryLabel;
        case Group::wet:        return wetLabel;
        case Group::drive:      return driveLabel;
        case Group::speed:      return speedLabel;
        case Group::leftTime:   return leftTimeLabel;
        case Group::rightTime:  return rightTimeLabel;
        case Group::leftMod:    return leftModLabel;
        case Group::rightMod:   return rightModLabel;
        case Group::leftPan:    return leftPanLabel;
        case Group::rightPan:   return rightPanLabel;
        case Group::leftLevel:  return leftLevelLabel;
        case Group::rightLevel: return rightLevelLabel;
        case Group::fbkTime:    return fbkTimeLabel;
        case Group::fbkMod:     return fbkModLabel;
        case Group::fbkLevel:   return fbkLevelLabel;
        case Group::fbk:        return fbkLabel;
        case Group::hiDamp:     return hiDampLabel;
        case Group::lowDamp:    return lowDampLabel;
        case Group::rate:       return rateLabel;
    }

    return infoLabel;
}

std::array<corvantis::KT_ResizableComboBox*, numComboBoxes> BrindlexAudioProcessorEditor::parameterComboBoxes()
{
    return { &timeRangeLeftMenu, &timeRangeRightMenu, &fbkModeLeftMenu,
             &fbkModeRightMenu, &lfoShapeLeftMenu, &lfoShapeRightMenu };
}

std::array<KT_ResizableLabel*, 38> BrindlexAudioProcessorEditor::captionLabels()
{
    return { &inputLabel, &lfCutLabel, &hfCutLabel, &dryLabel, &wetLabel, &driveLabel,
             &titleLabel, &subTitleLabel, &versionLabel,
             &leftTapsLabel, &rightTapsLabel, &fbkTapsLabel,
             &leftRangeLabel, &rightRangeLabel, &leftTimeLabel, &rightTimeLabel, &leftModLabel, &rightModLabel,
             &leftPanLabel, &rightPanLabel, &leftLevelLabel, &rightLevelLabel,
             &lfoLabel, &shapeLabel, &rateLabel,
             &modeLabel, &fbkTimeLabel, &fbkModLabel, &fbkLevelLabel, &fbkLabel, &hiDampLabel, &lowDampLabel,
             &infoLabel,
             &toolsLabel, &linkLabel, &loopLabel, &reverseLabel, &speedLabel };
}

KT_NewFloatParameter* BrindlexAudioProcessorEditor::parameterWithId (const char* parameterId) const
{
    const int index = parameterIndexOf (parameterId);
    jassert (index >= 0);
    return audioProcessor.paramTable[(size_t) index];
}

void BrindlexAudioProcessorEditor::createSlider (int slot)
{
    const auto& row = sliderRows[(size_t) slot];
    auto* parameter = parameterWithId (row.parameterId);
    const auto [background, fill] = coloursOf (row.tint);
    std::unique_ptr<juce::Slider> control;

    if (row.isKnob)
    {
        auto knob = std::make_unique<corvantis::KT_ColorKnob> (background, fill, parameter);
        knob->description = row.hoverText;
        knob->infoLabel = &infoLabel;
        knobList.add (knob.get());
        control = std::move (knob);
    }
    else
    {
        auto bar = std::make_unique<KT_ColorSlider> (background, fill, parameter);
        bar->sliderLAF.barFromCentre = row.barFromCentre;
        bar->description = row.hoverText;
        bar->infoLabel = &infoLabel;
        sliderList.add (bar.get());
        control = std::move (bar);
    }

    addAndMakeVisible (*control);
    control->addListener (this);
    control->setRange (0.0, 1.0, slot == speedKnob ? (double) 0.005f : (double) 0.01f);
    control->setDoubleClickReturnValue (true, parameter->getDefaultValue());

    sliderParameters[(size_t) slot] = parameter;
    sliders[(size_t) slot] = std::move (control);
}

void BrindlexAudioProcessorEditor::createToggle (int toggleSlot)
{
    const auto& row = toggleRows[(size_t) toggleSlot];
    const auto accent = coloursOf (row.tint).second;
    const auto offColour = row.isTempoSync ? accent.withAlpha ((juce::uint8) 0x64) : toolOffColour;

    auto button = std::make_unique<KT_TextButton> (offColour, accent);
    addAndMakeVisible (*button);
    button->setName (row.name);
    button->setButtonText (glyph (row.glyph));
    button->buttonLAF.font = row.isTempoSync ? juce::Font ("Arial", 10.0f, juce::Font::bold) : iconFont (12.0f);
    button->addListener (this);
    button->setClickingTogglesState (true);
    button->description = row.hoverText;
    button->infoLabel = &infoLabel;

    toggleParameters[(size_t) toggleSlot] = parameterWithId (row.parameterId);
    toggleButtons[(size_t) toggleSlot] = std::move (button);
}

void BrindlexAudioProcessorEditor::setUpComboBox (int comboSlot)
{
    const auto& row = comboRows[(size_t) comboSlot];
    auto& box = *parameterComboBoxes()[(size_t) comboSlot];
    const juce::Colour transparent (0x00000000);

    addAndMakeVisible (box);
    box.setName (row.name);
    box.addListener (this);
    box.setEditableText (false);
    box.setJustificationType (juce::Justification::centred);
    box.setLookAndFeel (&editorLookAndFeel);
    box.setColour (juce::ComboBox::backgroundColourId, transparent);
    box.setColour (juce::ComboBox::outlineColourId, transparent);
    box.setColour (juce::ComboBox::buttonColourId, transparent);
    box.setColour (juce::ComboBox::arrowColourId, transparent);
    box.setColour (juce::ComboBox::textColourId, textColour);

    const bool isTimeRange = comboSlot == timeRangeLeft || comboSlot == timeRangeRight;
    const bool isMode = comboSlot == fbkModeLeft || comboSlot == fbkModeRight;
    box.setColour (juce::ComboBox::outlineColourId,
                   isTimeRange ? textDimColour : (isMode ? crimsonColour : purpleColour));

    const auto items = juce::StringArray::fromTokens (row.items, "|", "");
    for (int i = 0; i < items.size(); ++i)
        box.addItem (items[i], i + 1);

    box.description = row.hoverText;
    box.infoLabel = &infoLabel;
    comboParameters[(size_t) comboSlot] = parameterWithId (row.parameterId);
}

//==============================================================================
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

//==============================================================================
void BrindlexAudioProcessorEditor::timerCallback()
{
    releaseUnlockAllRequest();

    for (int i = knobList.size(); --i >= 0;)
        audioProcessor.parameterLocks[(size_t) knobList[i]->paramIndex].store (knobList[i]->locked, std::memory_order_relaxed);
    for (int i = sliderList.size(); --i >= 0;)
        audioProcessor.parameterLocks[(size_t) sliderList[i]->paramIndex].store (sliderList[i]->locked, std::memory_order_relaxed);

    handOverNews();

    versionLabel.setText (" - v" + versionText, juce::dontSendNotification);

    const auto show = [this] (int slot)
    {
        sliders[(size_t) slot]->setValue ((double) sliderParameters[(size_t) slot]->getValue(), juce::dontSendNotification);
    };
    const auto showTaps = [&show] (int channel)
    {
        for (const int first : { (int) firstTapTime, (int) firstTapMod, (int) firstTapPan, (int) firstTapLevel })
            for (int tap = 1; tap <= 3; ++tap)
                show (tapSlot (first, channel, tap));
    };
    const auto select = [] (juce::ComboBox& box, int index) { box.setSelectedId (index + 1, juce::dontSendNotification); };

    for (int slot = inputKnob; slot <= driveKnob; ++slot)
        show (slot);

    select (timeRangeLeftMenu, audioProcessor.timeRangeIndex[0].load (std::memory_order_relaxed));
    showTaps (0);
    select (timeRangeRightMenu, audioProcessor.timeRangeIndex[1].load (std::memory_order_relaxed));
    showTaps (1);

    select (fbkModeLeftMenu, audioProcessor.feedbackModeIndex[0].load (std::memory_order_relaxed));
    select (fbkModeRightMenu, audioProcessor.feedbackModeIndex[1].load (std::memory_order_relaxed));
    for (int slot = fbkTimeLeft; slot <= lowDampLeft + 1; ++slot)
        show (slot);

    select (lfoShapeLeftMenu, audioProcessor.lfoShapeIndex[0].load (std::memory_order_relaxed));
    select (lfoShapeRightMenu, audioProcessor.lfoShapeIndex[1].load (std::memory_order_relaxed));
    show (rateLeft);
    show (rateLeft + 1);

    for (int slot = 0; slot <= loopToggle; ++slot)
        toggleButtons[(size_t) slot]->setToggleState (toggleParameters[(size_t) slot]->getValue() != 0.0f,
                                                      juce::dontSendNotification);

    const bool looping = toggleButtons[loopToggle]->getToggleState();
    sliders[speedKnob]->setVisible (looping);
    show (speedKnob);
    speedLabel.setVisible (looping);

    toggleButtons[reverseToggle]->setVisible (looping);
    toggleButtons[reverseToggle]->setToggleState (toggleParameters[reverseToggle]->getValue() != 0.0f,
                                                  juce::dontSendNotification);
    reverseLabel.setVisible (looping);
}

/** Gives the bell the news once it is ready, and stores every item as read once the news menu has been seen;
    each happens once per editor. */
void BrindlexAudioProcessorEditor::handOverNews()
{
    auto& news = audioProcessor.newsProcessor;

    if (news.newsReady && ! newsDelivered)
    {
        newsView->newsItems = news.newsItems;
        newsView->repaint();
        newsView->badge.unreadBadgeCount = news.unreadCount;
        newsView->badge.repaint();
        newsView->repaint();
        newsDelivered = true;
        newsView->storedStates = news.storedStates;
    }

    if (newsView->menuSeen && ! newsReadStored)
    {
        if (news.hasUnread)
        {
            const juce::ScopedLock sl (news.newsLock);

            auto readItems = news.newsItems;
            for (auto& item : readItems)
                item.newsRead = true;

            news.writeNewsfeedFile (readItems);
            news.hasUnread = false;
            news.loadNewsfeedFile();
            news.updateUnreadState (false);
        }

        newsView->badge.unreadBadgeCount = news.unreadCount;
        newsView->badge.repaint();
        newsView->repaint();
        newsReadStored = true;
        newsView->storedStates = news.storedStates;
        repaint();
    }
}

void BrindlexAudioProcessorEditor::releaseUnlockAllRequest()
{
    bool requested = false;
    for (auto* knob : knobList)
        requested = requested || knob->unlockAllRequested;

    if (! requested)
        return;

    // "Unlock All" from any knob clears every lock; lowering the request lets the item work again.
    for (auto* knob : knobList)
    {
        knob->locked = false;
        knob->unlockAllRequested = false;
    }
    for (auto* slider : sliderList)
        slider->locked = false;
}

//==============================================================================
int BrindlexAudioProcessorEditor::slotOf (const juce::Slider* slider) const
{
    for (size_t slot = 0; slot < sliders.size(); ++slot)
        if (sliders[slot].get() == slider)
            return (int) slot;

    return -1;
}

KT_NewFloatParameter* BrindlexAudioProcessorEditor::getParameterForSlider (juce::Slider* slider) const
{
    const int slot = slotOf (slider);
    return slot < 0 ? nullptr : sliderParameters[(size_t) slot];
}

void BrindlexAudioProcessorEditor::sliderValueChanged (juce::Slider* slider)
{
    const int slot = slotOf (slider);
    if (slot < 0)
        return;

    auto* parameter = sliderParameters[(size_t) slot];
    const auto v = (float) slider->getValue();
    parameter->setValue (v);
    parameter->sendValueChangedMessageToListeners (v);
    captionLabelOf (sliderRows[(size_t) slot].group).setText (parameter->getText (parameter->getValue(), 2), juce::dontSendNotification);
}

void BrindlexAudioProcessorEditor::sliderDragStarted (juce::Slider* slider)
{
    const int slot = slotOf (slider);
    if (slot < 0)
        return;

    auto* parameter = sliderParameters[(size_t) slot];
    parameter->beginChangeGesture();
    captionLabelOf (sliderRows[(size_t) slot].group).setText (parameter->getText (parameter->getValue(), 2), juce::dontSendNotification);
}

void BrindlexAudioProcessorEditor::sliderDragEnded (juce::Slider* slider)
{
    const int slot = slotOf (slider);
    if (slot < 0)
        return;

    sliderParameters[(size_t) slot]->endChangeGesture();
    const auto group = sliderRows[(size_t) slot].group;
    captionLabelOf (group).setText (captionOf (group), juce::dontSendNotification);
}

void BrindlexAudioProcessorEditor::comboBoxChanged (juce::ComboBox* box)
{
    if (box == &presetMenu)
        return presetBrowserChanged();

    if (box == &logoMenu)
        return logoMenuChanged();

    const auto boxes = parameterComboBoxes();

    for (size_t index = 0; index < boxes.size(); ++index)
    {
        if (boxes[index] != box)
            continue;

        const int id = box->getSelectedId();
        const bool isMode = index == fbkModeLeft || index == fbkModeRight;
        const float v = isMode ? (id > 1 ? 1.0f : 0.0f)
                               : (float) (id - 1) * (1.0f / (float) (box->getNumItems() - 1));

        auto* parameter = comboParameters[index];
        parameter->setValue (v);
        parameter->sendValueChangedMessageToListeners (v);
        repaint();
        return;
    }
}

void BrindlexAudioProcessorEditor::buttonClicked (juce::Button* button)
{
    if (button == resetSizeButton.get())
    {
        setBounds (getX(), getY(), designWidth, designHeight);
        return;
    }

    if (presetBarClicked (button))
        return;

    for (size_t slot = 0; slot < toggleButtons.size(); ++slot)
        if (toggleButtons[slot].get() == button)
            writeToggle ((int) slot);
}

void BrindlexAudioProcessorEditor::writeToggle (int toggleSlot)
{
    // Only a click that changed the toggle reaches its parameter, as one complete gesture: hovering and the
    // refresh timer (which sets the toggles without notification) never write.
    auto* parameter = toggleParameters[(size_t) toggleSlot];
    parameter->beginChangeGesture();
    const float v = toggleButtons[(size_t) toggleSlot]->getToggleState() ? 1.0f : 0.0f;
    parameter->setValue (v);
    parameter->sendValueChangedMessageToListeners (v);
    parameter->endChangeGesture();
}
