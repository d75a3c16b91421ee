#include "BrindlexResources.h"
#include "BinaryData.h"

namespace corvantis
{
namespace
{
    /** Holds the typefaces made from the embedded data, each made on first use. It goes with the framework's other
        shared objects when the framework shuts down, so that no typeface outlives the framework's glyph caches. */
    class SharedTypefaces : private juce::DeletedAtShutdown
    {
    public:
        SharedTypefaces() = default;

        ~SharedTypefaces() override
        {
            clearSingletonInstance();
        }

        static juce::Typeface::Ptr get (juce::Typeface::Ptr SharedTypefaces::*slot, const char* data, int size)
        {
            auto& typeface = getInstance()->*slot;

            if (typeface == nullptr)
                typeface = juce::Typeface::createSystemTypefaceFor (data, (size_t) size);

            return typeface;
        }

        juce::Typeface::Ptr regular, bold, icons;

        JUCE_DECLARE_SINGLETON_SINGLETHREADED_MINIMAL (SharedTypefaces)
    };

    JUCE_IMPLEMENT_SINGLETON (SharedTypefaces)
}

namespace BrindlexResources
{
    juce::Typeface::Ptr getRegularTypeface()
    {
        return SharedTypefaces::get (&SharedTypefaces::regular, BinaryData::OpenSansRegular_ttf,
                                     BinaryData::OpenSansRegular_ttfSize);
    }

    juce::Typeface::Ptr getBoldTypeface()
    {
        return SharedTypefaces::get (&SharedTypefaces::bold, BinaryData::OpenSansBold_ttf,
                                     BinaryData::OpenSansBold_ttfSize);
    }

    juce::Typeface::Ptr getIconTypeface()
    {
        return SharedTypefaces::get (&SharedTypefaces::icons, BinaryData::fontawesomewebfont_ttf,
                                     BinaryData::fontawesomewebfont_ttfSize);
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
