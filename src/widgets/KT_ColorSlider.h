#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

/** The editor's horizontal bar control: a coloured bar over a coloured track, growing from the left edge or, for
    bipolar controls, from the middle. While the mouse is over it, its description shows in the editor's shared info
    label; a right click opens its lock menu. */
class KT_ColorSlider : public juce::Slider
{
public:
    /** Draws the track and the bar and colours the slider's popup menus. */
    class KT_ColorSliderLAF : public juce::LookAndFeel_V3
    {
    public:
        ~KT_ColorSliderLAF() override = default;

        void drawLinearSlider (juce::Graphics&, int x, int y, int width, int height, float sliderPos,
                               float minSliderPos, float maxSliderPos, juce::Slider::SliderStyle,
                               juce::Slider&) override;

        /** The bar starts at the middle of the track instead of its left edge. */
        bool barFromCentre = false;
    };

    /** The track is drawn in `background`, the bar in `fill`. `parameter` gives the index that the owner uses for
        its lock table (-1 without a parameter). Range, value and listeners are the owner's. */
    KT_ColorSlider (juce::Colour background, juce::Colour fill, juce::AudioProcessorParameter* parameter);
    ~KT_ColorSlider() override;

    void mouseEnter (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    void mouseDown (const juce::MouseEvent&) override;

    /** The right-click menu: 1 "Lock parameter" (ticked while locked). */
    juce::PopupMenu createLockMenu();

    /** Shows the lock menu asynchronously; its result arrives in lockMenuCallback. */
    void showLockMenu();

    /** Applies a lock-menu result; `slider` is null when the slider was deleted while its menu was open. */
    static void lockMenuCallback (int result, KT_ColorSlider* slider);

    juce::String description;
    juce::Label* infoLabel = nullptr;
    bool locked = false;
    int paramIndex;
    KT_ColorSliderLAF sliderLAF;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KT_ColorSlider)
};
