#pragma once

#include "KT_InfoHover.h"

namespace corvantis
{
/** A parameter choice box that ignores the keyboard and, while the mouse is over it, shows its description in the
    editor's shared info label. Frame and text come from the editor-wide look-and-feel. */
class KT_ResizableComboBox : public juce::ComboBox,
                             public KT_InfoHover
{
public:
    KT_ResizableComboBox();
    ~KT_ResizableComboBox() override = default;

    void mouseEnter (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;

    /** Ignores every key, so arrows never step through the items; the key goes on to the parents. */
    bool keyPressed (const juce::KeyPress&) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KT_ResizableComboBox)
};
}
