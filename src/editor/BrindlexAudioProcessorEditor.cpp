// The editor's construction: every control made from the control table and bound to its parameter.

#include "BrindlexAudioProcessorEditor.h"
#include "EditorGlyphs.h"

using namespace EditorControlTable;
using EditorGlyphs::glyph;
using EditorGlyphs::iconFont;

namespace
{
    const juce::Colour toolOffColour (0x80e8e0cb);
}

BrindlexAudioProcessorEditor::BrindlexAudioProcessorEditor (BrindlexAudioProcessor& p)
    : juce::AudioProcessorEditor (p),
      audioProcessor (p)
{
    randomGenerator.setSeedRandomly();

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
    versionLabel.setText (EditorGlyphs::versionCaption(), juce::dontSendNotification);
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
        sizeConstrainer.setSizeLimits (minimumWidth, minimumHeight, display->userArea.getWidth(), display->userArea.getHeight());
    else
        sizeConstrainer.setMinimumSize (minimumWidth, minimumHeight);

    sizeConstrainer.setFixedAspectRatio (aspectRatio);

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

    startTimer (refreshIntervalMs);
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
