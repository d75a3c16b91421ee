#pragma once

#include "MessagePump.h"
#include <gtest/gtest.h>
#include "../../tools/ToolSupport.h"

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
        return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << actual.toDisplayString (true)
                                             << ", expected " << expected.toDisplayString (true);
    }

    /** Counts the pixels that are near `colour`. */
    inline int countNear (const juce::Image& image, juce::Colour colour, int tolerance = 3)
    {
        int count = 0;
        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x)
                count += near (image.getPixelAt (x, y), colour, tolerance) ? 1 : 0;
        return count;
    }

    inline juce::MouseEvent mouseEvent (juce::Component& c, juce::Point<float> position, juce::ModifierKeys mods = {})
    {
        const auto now = juce::Time::getCurrentTime();
        return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), position, mods,
                                 juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                                 juce::MouseInputSource::defaultRotation, juce::MouseInputSource::defaultTiltX,
                                 juce::MouseInputSource::defaultTiltY, &c, &c, now, position, now, 1, false);
    }

    /** Presses the right mouse button on the component, as a user's right click does. */
    inline void rightClick (juce::Component& c)
    {
        const juce::ModifierKeys right (juce::ModifierKeys::rightButtonModifier);
        juce::ModifierKeys::currentModifiers = right;
        c.mouseDown (mouseEvent (c, c.getLocalBounds().getCentre().toFloat(), right));
        juce::ModifierKeys::currentModifiers = {};
    }

    /** The open popup menu window, or null when no menu is open. */
    inline juce::Component* openMenu() { return juce::Component::getCurrentlyModalComponent(); }

    /** Picks the n-th item (1-based) of the open menu with the arrow keys and Return, then lets the result arrive. */
    inline void chooseMenuItem (int n)
    {
        auto* menu = openMenu();
        ASSERT_NE (menu, nullptr);
        for (int i = 0; i < n; ++i)
            menu->keyPressed (juce::KeyPress (juce::KeyPress::downKey));
        menu->keyPressed (juce::KeyPress (juce::KeyPress::returnKey));

        // Return closes the menu, which posts its result as it closes.
        EXPECT_TRUE (pumpUntil ([] { return openMenu() == nullptr; }));
        EXPECT_TRUE (pumpPosted());
    }

    /** Quiets the X errors of a bare Xvfb display, as the picture tools do. */
    using ToolSupport::ignoreXErrors;

    /** A real top-level window on the (virtual) display that records the keys its children let through. */
    struct DesktopWindow : public juce::Component
    {
        DesktopWindow()
        {
            ignoreXErrors();
            setSize (300, 120);
            addToDesktop (0);
            setVisible (true);

            // Shown once it has drawn itself on the display, which it does from a timer of its own.
            EXPECT_TRUE (pumpUntil ([this] { return painted; }));
        }

        void paint (juce::Graphics&) override { painted = true; }
        bool keyPressed (const juce::KeyPress& key) override { return received.add (key), true; }

        bool painted = false;
        juce::Array<juce::KeyPress> received;
    };

    /** Gives `c` the keyboard focus, waiting for the window system; true when it has it. */
    inline bool focus (juce::Component& c)
    {
        // Asked for again now and then: another window on the display may take the focus in between.
        for (const auto deadline = juce::Time::getMillisecondCounter() + 10000;
             ! c.hasKeyboardFocus (false) && juce::Time::getMillisecondCounter() < deadline;)
        {
            c.grabKeyboardFocus();
            pumpUntil ([&c] { return c.hasKeyboardFocus (false); }, 250);
        }

        return c.hasKeyboardFocus (false);
    }

    /** For tests with menus or windows: X errors are ignored, and a menu that a failed test left open is closed. */
    struct MenuTest : public ::testing::Test
    {
        void SetUp() override { ignoreXErrors(); }
        void TearDown() override
        {
            // Dismissed until none is left: a menu window counts as active until its result has been delivered and
            // the window deleted. What the test left posted also arrives before the next test starts.
            EXPECT_TRUE (pumpUntil ([] { return ! juce::PopupMenu::dismissAllActiveMenus(); }));
            EXPECT_TRUE (pumpPosted());
            juce::ModifierKeys::currentModifiers = {};
        }
    };
}
