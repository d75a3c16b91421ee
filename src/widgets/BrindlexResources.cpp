#include "BrindlexResources.h"
#include "BinaryData.h"

namespace corvantis
{
namespace BrindlexResources
{
    juce::Typeface::Ptr getRegularTypeface()
    {
        static juce::Typeface::Ptr typeface = juce::Typeface::createSystemTypefaceFor (BinaryData::OpenSansRegular_ttf,
                                                                                       BinaryData::OpenSansRegular_ttfSize);
        return typeface;
    }

    juce::Typeface::Ptr getBoldTypeface()
    {
        static juce::Typeface::Ptr typeface = juce::Typeface::createSystemTypefaceFor (BinaryData::OpenSansBold_ttf,
                                                                                       BinaryData::OpenSansBold_ttfSize);
        return typeface;
    }

    juce::Typeface::Ptr getIconTypeface()
    {
        static juce::Typeface::Ptr typeface = juce::Typeface::createSystemTypefaceFor (BinaryData::fontawesomewebfont_ttf,
                                                                                       BinaryData::fontawesomewebfont_ttfSize);
        return typeface;
    }

    std::unique_ptr<juce::Drawable> createLogoDrawable()
    {
        return juce::Drawable::createFromImageData (BinaryData::brindlexLogo_svg, BinaryData::brindlexLogo_svgSize);
    }

    juce::Image getLogoImage()
    {
        return juce::ImageCache::getFromMemory (BinaryData::brindlexLogo_png, BinaryData::brindlexLogo_pngSize);
    }
}
}
