#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace corvantis
{
/** The popup-menu colours that every look-and-feel of the kit shares: panel background, light text,
    and the two swapped when an item is highlighted. */
inline void setPopupMenuColours (juce::LookAndFeel& lookAndFeel)
{
    lookAndFeel.setColour (juce::PopupMenu::backgroundColourId, juce::Colour (0xFF2B302C));
    lookAndFeel.setColour (juce::PopupMenu::textColourId, juce::Colour (0xFFE8E0CB));
    lookAndFeel.setColour (juce::PopupMenu::highlightedBackgroundColourId, juce::Colour (0xFFE8E0CB));
    lookAndFeel.setColour (juce::PopupMenu::highlightedTextColourId, juce::Colour (0xFF2B302C));
}
} // namespace corvantis
