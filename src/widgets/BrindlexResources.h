#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace corvantis
{
/** The fonts and logos compiled into the plug-in. Each typeface is made from its embedded data once, on first use,
    and shared by every caller until the framework shuts down (at process exit or when the plug-in is unloaded).
    Message thread only. */
namespace BrindlexResources
{
    /** The regular text face (Open Sans Regular). */
    juce::Typeface::Ptr getRegularTypeface();

    /** The bold text face (Open Sans Bold). */
    juce::Typeface::Ptr getBoldTypeface();

    /** The icon face (FontAwesome 4.7.0) for the glyph buttons and the news bell. */
    juce::Typeface::Ptr getIconTypeface();

    /** A fresh drawable of the logo artwork, drawn in black (0xff000000), or null when it cannot be parsed. */
    std::unique_ptr<juce::Drawable> createLogoDrawable();

    /** The 165 by 32 logo image, through the framework's image cache. */
    juce::Image getLogoImage();
}
}
