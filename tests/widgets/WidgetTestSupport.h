#pragma once

#include "MessagePump.h"
#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

#if JUCE_LINUX
 #include <dlfcn.h>
#endif

/** Helpers for the widget tests: painting into images, reading pixels, synthetic mouse events, real keyboard focus
    on an Xvfb window and driving an open popup menu from the keyboard. */
namespace WidgetTest
{
    /** Paints the component (and its children) into a transparent ARGB image of its own size. */
    inline juce::Image render (juce::Component& c)
    {
        juce::Image image (juce::Image::ARGB, juce::jmax (1, c.getWidth()), juce::jmax (1, c.getHeight()), true);
        juce::Graphics g (image);
        c.paintEntireComponent (g, true);
        return image;
    }

    /** True when every channel of the two colours differs by at most `tolerance`. */
    inline bool near (juce::Colour a, juce::Colour b, int tolerance = 3)
    {
        return std::abs ((int) a.getAlpha() - (int) b.getAlpha()) <= tolerance
            && std::abs ((int) a.getRed() - (int) b.getRed()) <= tolerance
            && std::abs ((int) a.getGreen() - (int) b.getGreen()) <= tolerance
            && std::abs ((int) a.getBlue() - (int) b.getBlue()) <= tolerance;
    }

    inline ::testing::AssertionResult pixelIs (const juce::Image& image, int x, int y, juce::Colour expected,
                                               int tolerance = 3)
    {
        const auto actual = image.getPixelAt (x, y);

        if (near (actual, expected, tolerance))
            return ::testing::AssertionSuccess();

        return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is "
                                             << actual.toDisplayString (true) << ", expected "
                                             << expected.toDisplayString (true);
    }

    /** Counts the pixels that are near `colour`. */
    inline int countNear (const juce::Image& image, juce::Colour colour, int tolerance = 3)
    {
        int count = 0;

        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x)
                if (near (image.getPixelAt (x, y), colour, tolerance))
                    ++count;

        return count;
    }

    inline juce::MouseEvent mouseEvent (juce::Component& c, juce::Point<float> position,
                                        juce::ModifierKeys mods = {})
    {
        const auto now = juce::Time::getCurrentTime();
        return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), position, mods,
                                 juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                                 juce::MouseInputSource::defaultRotation, juce::MouseInputSource::defaultTiltX,
                                 juce::MouseInputSource::defaultTiltY, &c, &c, now, position, now, 1, false);
    }

    inline void pump (int milliseconds = 50)
    {
        pumpMessages (milliseconds);
    }

    /** Presses the right mouse button on the component, as a user's right click does. */
    inline void rightClick (juce::Component& c)
    {
        const auto centre = c.getLocalBounds().getCentre().toFloat();
        const juce::ModifierKeys right (juce::ModifierKeys::rightButtonModifier);
        juce::ModifierKeys::currentModifiers = right;
        c.mouseDown (mouseEvent (c, centre, right));
        juce::ModifierKeys::currentModifiers = {};
    }

    /** The open popup menu window, or null when no menu is open. */
    inline juce::Component* openMenu()
    {
        return juce::Component::getCurrentlyModalComponent();
    }

    /** Picks the n-th item (1-based) of the open menu with the arrow keys and Return, then lets the result arrive. */
    inline void chooseMenuItem (int n)
    {
        auto* menu = openMenu();
        ASSERT_NE (menu, nullptr);

        for (int i = 0; i < n; ++i)
            menu->keyPressed (juce::KeyPress (juce::KeyPress::downKey));

        menu->keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
        pump (100);
    }

    /** Closes the open menu with Escape, then lets the result arrive. */
    inline void dismissMenu()
    {
        auto* menu = openMenu();
        ASSERT_NE (menu, nullptr);
        menu->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey));
        pump (100);
    }

    /** On a bare Xvfb display (no window manager) JUCE's X11 code asks for properties of atoms such as "WM_STATE"
        that no one has created, and Xlib's default error handler then ends the process. A plug-in's host installs
        its own handler, and so does a JUCE application; the test runner is neither, so this installs one that
        ignores such errors, as JUCE's own does. Call it before the first window goes on the desktop. */
    inline void ignoreXErrors()
    {
       #if JUCE_LINUX
        using ErrorHandler = int (*) (void*, void*);
        using SetErrorHandler = ErrorHandler (*) (ErrorHandler);

        if (auto* x11 = dlopen ("libX11.so.6", RTLD_LAZY))
            if (auto* setHandler = reinterpret_cast<SetErrorHandler> (dlsym (x11, "XSetErrorHandler")))
                setHandler ([] (void*, void*) { return 0; });
       #endif
    }

    /** A real top-level window on the (virtual) display that records the keys its children let through. */
    struct DesktopWindow : public juce::Component
    {
        DesktopWindow()
        {
            ignoreXErrors();
            setSize (300, 120);
            addToDesktop (0);
            setVisible (true);
            pump (50);
        }

        bool keyPressed (const juce::KeyPress& key) override
        {
            received.add (key);
            return true;
        }

        juce::Array<juce::KeyPress> received;
    };

    /** Moves the display's pointer over the window to `position` with `buttons` held, and hands the window the
        mouse event that the window system would send. */
    inline void pointer (juce::Component& window, juce::Point<float> position, juce::ModifierKeys buttons = {})
    {
        // The framework asks the display where the pointer really is, so it is moved there too.
        // The display's own motion events are let through first, so that they cannot arrive between ours.
        juce::Desktop::setMousePosition (window.localPointToGlobal (position).roundToInt());
        pump (60);
        juce::ModifierKeys::currentModifiers = buttons;
        window.getPeer()->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, position, buttons,
                                            juce::MouseInputSource::defaultPressure,
                                            juce::MouseInputSource::defaultOrientation,
                                            juce::Time::currentTimeMillis());
        pump (20);
    }

    /** Gives `c` the keyboard focus, waiting for the window system; true when it has it. */
    inline bool focus (juce::Component& c)
    {
        for (int attempt = 0; attempt < 40 && ! c.hasKeyboardFocus (false); ++attempt)
        {
            c.grabKeyboardFocus();
            pump (50);
        }

        return c.hasKeyboardFocus (false);
    }

    /** For tests that open popup menus or windows: X errors are ignored, and any menu a failed test left open is
        closed, so that the next test starts without a modal window. */
    struct MenuTest : public ::testing::Test
    {
        void SetUp() override
        {
            ignoreXErrors();
        }

        void TearDown() override
        {
            juce::PopupMenu::dismissAllActiveMenus();
            pump (50);
            juce::ModifierKeys::currentModifiers = {};
        }
    };
}
