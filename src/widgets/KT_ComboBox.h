#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace corvantis
{
/** A menu box that ignores the keyboard; the editor's logo menu is one. */
class KT_ComboBox : public juce::ComboBox
{
public:
    KT_ComboBox();
    ~KT_ComboBox() override = default;

    /** Ignores every key, so arrows never step through the items; the key goes on to the parents. */
    bool keyPressed (const juce::KeyPress&) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KT_ComboBox)
};
}
