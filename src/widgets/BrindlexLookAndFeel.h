#pragma once

#include <array>
#include <juce_gui_basics/juce_gui_basics.h>

namespace corvantis
{
/** The editor-wide look-and-feel: flat framed combo boxes without an arrow, label fonts chosen by the label's name
    from the embedded text faces, the popup-menu and text-editor colours, and the corner resizer's line pairs. */
class BrindlexLookAndFeel : public juce::LookAndFeel_V3
{
public:
    /** `resizerOffset` draws the offset line of each resizer pair, `resizerLine` the main line. */
    explicit BrindlexLookAndFeel (juce::Colour resizerOffset = juce::Colour (0xFF2B302C),
                                  juce::Colour resizerLine = juce::Colour (0xFFE8E0CB));
    ~BrindlexLookAndFeel() override = default;

    void drawComboBox (juce::Graphics&, int width, int height, bool isButtonDown, int buttonX, int buttonY,
                       int buttonW, int buttonH, juce::ComboBox&) override;
    juce::Font getComboBoxFont (juce::ComboBox&) override;
    /** In the box's own text colour, faded: the framework's would take this look-and-feel's, dark on dark. */
    void drawComboBoxTextWhenNothingSelected (juce::Graphics&, juce::ComboBox&, juce::Label&) override;
    juce::Label* createComboBoxTextBox (juce::ComboBox&) override;
    void positionComboBoxText (juce::ComboBox&, juce::Label&) override;
    juce::Font getLabelFont (juce::Label&) override;
    void drawCornerResizer (juce::Graphics&, int w, int h, bool isMouseOver, bool isMouseDragging) override;

    /** The editor's scale; the owner sets it on every layout pass. Only the "presetMenu" font depends on it. */
    float uiScale = 1.0f;

    /** The corner resizer's colours: [0] the offset line of each pair, [1] the main line. */
    std::array<juce::Colour, 2> resizerColours;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BrindlexLookAndFeel)
};
}
