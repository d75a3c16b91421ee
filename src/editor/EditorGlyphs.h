#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include "BrindlexVersion.h"
#include "widgets/BrindlexResources.h"

/** Texts and glyph fonts that the editor's construction, layout and timer share. */
namespace EditorGlyphs
{
    inline juce::Font iconFont (float pointHeight)
    {
        return juce::Font (corvantis::BrindlexResources::getIconTypeface()).withPointHeight (pointHeight);
    }

    inline juce::String glyph (juce::juce_wchar character) { return juce::String::charToString (character); }

    /** The version as the top bar shows it after the preset bar. */
    inline juce::String versionCaption() { return " - v" + juce::String (BrindlexVersion::shortText); }
}
