#pragma once

#include <juce_core/juce_core.h>

namespace corvantis::WebLinks
{
/** Every web address the plug-in opens. They are placeholders on a reserved example domain until the maker's
    own site is named here. */
inline const juce::String site { "https://brindlex.example.org" };

/** The address behind a logo-menu item, or an empty string for an item that opens none. */
inline juce::String forLogoMenuItem (int itemId)
{
    switch (itemId)
    {
        case 1:   return site + "/";
        case 2:   return site + "/manual/Brindlex-Manual.pdf";
        case 100: return site + "/video";
        case 101: return site + "/social/page";
        case 102: return site + "/social/group";
        case 103: return site + "/user-area";
        default:  return {};
    }
}
} // namespace corvantis::WebLinks
