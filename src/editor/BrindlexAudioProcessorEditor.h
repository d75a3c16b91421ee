#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <array>
#include <memory>

#include "EditorControlTable.h"
#include "EditorDialogs.h"
#include "KT_NewAboutComponent.h"
#include "newsfeed/KT_NewsFeedComponent.h"
#include "processor/BrindlexAudioProcessor.h"
#include "settings/KT_PresetMenu.h"
#include "settings/KT_SettingsWindow.h"
#include "widgets/BrindlexLookAndFeel.h"
#include "widgets/KT_ColorKnob.h"
#include "widgets/KT_ColorSlider.h"
#include "widgets/KT_ComboBox.h"
#include "widgets/KT_ResizableComboBox.h"
#include "widgets/KT_ResizableLabel.h"
#include "widgets/KT_TextButton.h"

/** The plug-in's window content: the knobs, sliders, toggles and choice boxes bound to the parameters, the preset
    bar, the logo menu and the info line, laid out in design units of `designWidth` by `designHeight` and scaled to
    the window (EditorLayout.cpp). A timer (EditorTimer.cpp) pulls the parameters into the controls; the controls'
    callbacks (EditorCallbacks.cpp) write them back inside host gestures.
    Like the processor's, its members are public data that the preset bar and the news hand-over use directly. */
class BrindlexAudioProcessorEditor : public juce::AudioProcessorEditor,
                                     public juce::Slider::Listener,
                                     public juce::ComboBox::Listener,
                                     public juce::Button::Listener,
                                     public juce::Timer
{
public:
    explicit BrindlexAudioProcessorEditor (BrindlexAudioProcessor& p);
    ~BrindlexAudioProcessorEditor() override;

    void paint (juce::Graphics&) override;
    void resized() override;
    void timerCallback() override;
    void sliderValueChanged (juce::Slider*) override;
    void sliderDragStarted (juce::Slider*) override;
    void sliderDragEnded (juce::Slider*) override;
    void comboBoxChanged (juce::ComboBox*) override;
    void buttonClicked (juce::Button*) override;

    /** Shows the about overlay over the whole editor; its close button hides it again. */
    void showAboutOverlay();

    /** Brings up the settings window in front of everything, centred on the editor. */
    void showSettingsWindow();

    /** The parameter bound to the slot that holds `slider`, or null when it is none of the 45 slots. */
    KT_NewFloatParameter* getParameterForSlider (juce::Slider* slider) const;

    BrindlexAudioProcessor& audioProcessor;
    /** The size the layout is drawn at; every position and font scales from it. */
    static constexpr int designWidth = 980;
    static constexpr int designHeight = 500;

    /** The smallest size the corner handle allows, and the width-to-height ratio it keeps (the design size's). */
    static constexpr int minimumWidth = 745;
    static constexpr int minimumHeight = 380;
    static constexpr double aspectRatio = 1.96;

    /** How often the timer pulls the parameters into the controls. */
    static constexpr int refreshIntervalMs = 50;

    /** The largest width or height the editor opens at from a stored size (above any display's size). */
    static constexpr int maxStoredSide = 8192;

    const juce::Colour panelColour { 0xff2b302c };
    const juce::Colour textColour { 0xffe8e0cb };
    const juce::Colour textDimColour { 0x33e8e0cb };
    const juce::Colour yellowDimColour { 0x33e7bc3c };
    const juce::Colour yellowColour { 0xffe7bc3c };
    const juce::Colour orangeDimColour { 0x33e3420c };
    const juce::Colour orangeColour { 0xffe3420c };
    const juce::Colour redDimColour { 0x33c41e20 };
    const juce::Colour redColour { 0xffc41e20 };
    const juce::Colour crimsonDimColour { 0x339b193f };
    const juce::Colour crimsonColour { 0xff9b193f };
    const juce::Colour purpleDimColour { 0x336b1d44 };
    const juce::Colour purpleColour { 0xff6b1d44 };

    corvantis::BrindlexLookAndFeel editorLookAndFeel { panelColour, textColour };

    corvantis::KT_NewAboutComponent aboutOverlay;
    corvantis::KT_SettingsWindow settingsWindow { *this, audioProcessor.settings };

    corvantis::KT_ComboBox logoMenu;
    corvantis::KT_PresetMenu presetMenu;

    std::unique_ptr<KT_TextButton> prevButton, nextButton, saveButton, delButton, randButton, reloadButton,
        resetSizeButton;

    KT_ResizableLabel inputLabel, lfCutLabel, hfCutLabel, dryLabel, wetLabel, driveLabel;
    KT_ResizableLabel titleLabel, subTitleLabel, versionLabel;
    KT_ResizableLabel leftTapsLabel, rightTapsLabel, fbkTapsLabel;
    KT_ResizableLabel leftRangeLabel, rightRangeLabel, leftTimeLabel, rightTimeLabel, leftModLabel, rightModLabel,
        leftPanLabel, rightPanLabel, leftLevelLabel, rightLevelLabel;
    KT_ResizableLabel lfoLabel, shapeLabel, rateLabel;
    KT_ResizableLabel modeLabel, fbkTimeLabel, fbkModLabel, fbkLevelLabel, fbkLabel, hiDampLabel, lowDampLabel;
    KT_ResizableLabel infoLabel;
    KT_ResizableLabel toolsLabel, linkLabel, loopLabel, reverseLabel, speedLabel;

    std::array<std::unique_ptr<juce::Slider>, EditorControlTable::numSlots> sliders;
    std::array<std::unique_ptr<KT_TextButton>, EditorControlTable::numToggles> toggleButtons;

    corvantis::KT_ResizableComboBox timeRangeLeftMenu, timeRangeRightMenu, fbkModeLeftMenu, fbkModeRightMenu,
        lfoShapeLeftMenu, lfoShapeRightMenu;

    juce::Array<KT_ColorSlider*> sliderList;
    juce::Array<corvantis::KT_ColorKnob*> knobList;

    std::unique_ptr<juce::ResizableCornerComponent> cornerResizer;
    juce::ComponentBoundsConstrainer sizeConstrainer;

    std::unique_ptr<corvantis::KT_NewsFeedComponent> newsView;
    bool newsDelivered = false;
    bool newsReadStored = false;

    juce::String currentPresetName;
    juce::Random randomGenerator;

    /** Opens a web address from the logo menu; tests replace it so that no browser starts. */
    std::function<void (const juce::URL&)> openLink = [] (const juce::URL& url) { url.launchInDefaultBrowser(); };

    /** Asks every question of the preset bar; tests install one that answers. Destroyed before the controls,
        so that no answer reaches an editor being taken apart. */
    std::unique_ptr<corvantis::EditorDialogs> dialogs;

private:
    std::pair<juce::Colour, juce::Colour> coloursOf (EditorControlTable::Tint tint) const;
    KT_ResizableLabel& captionLabelOf (EditorControlTable::Group group);
    std::array<corvantis::KT_ResizableComboBox*, EditorControlTable::numComboBoxes> parameterComboBoxes();
    std::array<KT_ResizableLabel*, 38> captionLabels();
    KT_NewFloatParameter* parameterWithId (const char* parameterId) const;
    int slotOf (const juce::Slider* slider) const;
    void createSlider (int slot);
    void createToggle (int toggleSlot);
    void setUpComboBox (int comboSlot);
    void layOutTapSection (int channel);
    void releaseUnlockAllRequest();
    void handOverNews();
    void writeToggle (int toggleSlot);

    // The preset bar and the logo menu (EditorPresetBar.cpp).
    void setUpPresetBrowser();
    void presetBrowserChanged();
    void loadSelectedPreset();
    /** Loads a preset file; when it fails, says so by name and returns false, with nothing changed. */
    bool loadPresetOrSaySo (const juce::File& file);
    /** Marks and names what plays in the box: the processor's file, or its name when no file is known. */
    void showWhatPlays();
    /** Shows the preset of a host state set since the box last showed what plays. */
    void followHostState();
    /** Marks what already plays as the preset at index (-1: none listed) under a name, loading nothing. */
    void showPlayingAs (int index, const juce::String& name);
    void logoMenuChanged();
    bool presetBarClicked (juce::Button* button);
    void savePresetAs (const juce::File& file);
    void deleteCurrentPreset();
    void randomiseParameters();
    void reloadCurrentPreset();

    // The host states the preset box has followed.
    juce::uint32 hostStatesShown = 0;

    std::array<KT_NewFloatParameter*, EditorControlTable::numSlots> sliderParameters {};
    std::array<KT_NewFloatParameter*, EditorControlTable::numToggles> toggleParameters {};
    std::array<KT_NewFloatParameter*, EditorControlTable::numComboBoxes> comboParameters {};

    // Parsed once, recoloured once: painting only draws it.
    std::unique_ptr<juce::Drawable> logo;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BrindlexAudioProcessorEditor)
};
