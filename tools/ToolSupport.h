#pragma once

// What the picture tools share: quiet X errors, PNG files, and steps run one after another on the message loop.

#include <juce_gui_basics/juce_gui_basics.h>
#include <dlfcn.h>
#include <functional>
#include <memory>
#include <vector>

namespace ToolSupport
{
    /** Windows on a bare display can draw X errors about properties no window manager created; a host or a
        JUCE application ignores them, and so does a tool, instead of letting Xlib end the process. */
    inline void ignoreXErrors()
    {
        using ErrorHandler = int (*) (void*, void*);
        using SetErrorHandler = ErrorHandler (*) (ErrorHandler);

        if (auto* x11 = dlopen ("libX11.so.6", RTLD_LAZY))
            if (auto* setHandler = reinterpret_cast<SetErrorHandler> (dlsym (x11, "XSetErrorHandler")))
                setHandler ([] (void*, void*) { return 0; });
    }

    inline bool save (const juce::Image& image, const juce::File& file)
    {
        file.deleteFile();
        juce::FileOutputStream out (file);
        return out.openedOk() && juce::PNGImageFormat().writeImageToStream (image, out);
    }

    /** Runs `steps` one after another on the message loop, `delay` ms apart, then stops the loop. */
    inline void runSteps (std::vector<std::function<void()>> steps, int delay)
    {
        auto remaining = std::make_shared<std::vector<std::function<void()>>> (std::move (steps));
        auto next = std::make_shared<std::function<void()>>();
        *next = [remaining, next, delay]
        {
            if (remaining->empty())
            {
                juce::MessageManager::getInstance()->stopDispatchLoop();
                *next = nullptr;
                return;
            }

            auto step = remaining->front();
            remaining->erase (remaining->begin());
            step();
            juce::Timer::callAfterDelay (delay, [next] { if (*next) (*next)(); });
        };
        juce::MessageManager::callAsync ([next] { (*next)(); });
        juce::MessageManager::getInstance()->runDispatchLoop();
    }
}
