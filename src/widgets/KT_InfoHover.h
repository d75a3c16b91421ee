#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace corvantis
{
/** What every control of the kit shares for the editor's info label: its description shows in the label while the
    mouse is over the control, and the label is cleared when the mouse leaves. Without a label nothing happens. */
struct KT_InfoHover
{
    /** Called from the control's mouseEnter. */
    void showDescription() const;

    /** Called from the control's mouseExit. */
    void clearDescription() const;

    juce::String description;
    juce::Label* infoLabel = nullptr;
};
}
