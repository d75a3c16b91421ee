#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** A label whose text is fitted into at most two lines, whatever its height. Only its painting goes through its
    own look-and-feel; its text editor and everything else use the look-and-feel inherited from its parents. */
class KT_ResizableLabel : public juce::Label
{
public:
    /** Draws the label's background, its text fitted into two lines, and its outline. */
    class KT_ResizableLabelLAF : public juce::LookAndFeel_V2
    {
    public:
        ~KT_ResizableLabelLAF() override = default;

        void drawLabel (juce::Graphics&, juce::Label&) override;
    };

    KT_ResizableLabel();
    ~KT_ResizableLabel() override = default;

    void paint (juce::Graphics&) override;

    KT_ResizableLabelLAF labelLAF;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KT_ResizableLabel)
};
