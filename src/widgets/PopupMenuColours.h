#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace corvantis
{
/** The kit's dark panel colour and its light text colour. */
inline const juce::Colour kitPanelColour (0xFF2B302C);
inline const juce::Colour kitTextColour (0xFFE8E0CB);

/** The popup-menu colours that every look-and-feel of the kit shares: panel background, light text,
    and the two swapped when an item is highlighted. */
inline void setPopupMenuColours (juce::LookAndFeel& lookAndFeel)
{
    lookAndFeel.setColour (juce::PopupMenu::backgroundColourId, kitPanelColour);
    lookAndFeel.setColour (juce::PopupMenu::textColourId, kitTextColour);
    lookAndFeel.setColour (juce::PopupMenu::highlightedBackgroundColourId, kitTextColour);
    lookAndFeel.setColour (juce::PopupMenu::highlightedTextColourId, kitPanelColour);
}
} // namespace corvantis
