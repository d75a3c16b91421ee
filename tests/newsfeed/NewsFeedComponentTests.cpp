#include <gtest/gtest.h>

#include "newsfeed/KT_NewsFeedComponent.h"
#include "widgets/WidgetTestSupport.h"

namespace
{
    NewsItem newsItem (int id, bool forThisPlugin, const juce::String& url = {})
    {
        NewsItem n;
        n.newsID = id;
        n.title = "Item " + juce::String (id);
        n.url = url.isNotEmpty() ? url : "https://news.example/" + juce::String (id) + "?utm_source=CRVPLG8";
        n.isForThisPlugin = forThisPlugin;
        return n;
    }

    /** The bounds of every pixel that is painted at all. */
    juce::Rectangle<int> paintedBounds (const juce::Image& image)
    {
        juce::Rectangle<int> bounds;

        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x)
                if (image.getPixelAt (x, y).getAlpha() > 0)
                    bounds = bounds.isEmpty() ? juce::Rectangle<int> (x, y, 1, 1)
                                              : bounds.getUnion ({ x, y, 1, 1 });

        return bounds;
    }

    /** Draws a menu item's icon at its own size onto a larger transparent canvas. */
    juce::Image renderIcon (const juce::Drawable& icon)
    {
        juce::Image canvas (juce::Image::ARGB, 64, 64, true);
        juce::Graphics g (canvas);
        icon.draw (g, 1.0f);
        return canvas;
    }

    struct NewsBell : public WidgetTest::MenuTest
    {
        corvantis::KT_NewsFeedComponent bell { juce::Colour (0xffe8e0cb) };
    };
}

TEST_F (NewsBell, BadgeDrawsNothingWithoutUnreadItemsAndTheCountInARedSquareWithThem)
{
    auto& badge = bell.badge;
    badge.setSize (24, 24);

    badge.unreadBadgeCount = 0;
    EXPECT_TRUE (paintedBounds (WidgetTest::render (badge)).isEmpty());

    badge.unreadBadgeCount = 3;
    const auto image = WidgetTest::render (badge);
    EXPECT_TRUE (WidgetTest::pixelIs (image, 12, 2, juce::Colour (0xFFB22C2C)));
    EXPECT_TRUE (WidgetTest::pixelIs (image, 0, 0, juce::Colours::transparentBlack));

    // The white digit sits inside the square's inner area, away from its edges.
    juce::Image white (juce::Image::ARGB, 24, 24, true);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x)
            if (WidgetTest::near (image.getPixelAt (x, y), juce::Colours::white, 40))
                white.setPixelAt (x, y, juce::Colours::white);

    const auto digit = paintedBounds (white);
    ASSERT_FALSE (digit.isEmpty());
    EXPECT_TRUE (juce::Rectangle<int> (3, 3, 18, 18).contains (digit)) << digit.toString();
    EXPECT_NEAR (digit.getCentreX(), 12, 2);
}

TEST_F (NewsBell, MenuMarksItemsAndDrawsIconsAtTheEditorsScale)
{
    bell.scaleX = 1.0f;
    bell.scaleY = 1.5f;
    bell.newsItems.addArray ({ newsItem (9, true), newsItem (8, false), newsItem (7, false), newsItem (6, true) });
    bell.storedStates.add ({ 8, true, false });
    bell.storedStates.add ({ 6, true, true });

    const auto menu = bell.createNewsMenu();
    juce::Array<juce::PopupMenu::Item> items;
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
        items.add (it.getItem());

    ASSERT_EQ (items.size(), 4);

    // 9: ours, not in the cache: star. 8: general, read: grey without icon. 7: general, unknown: dot.
    // 6: ours and read: still the star.
    EXPECT_EQ (items[1].text, "Item 8");
    EXPECT_EQ (items[1].itemID, 2);
    EXPECT_EQ (items[1].colour, juce::Colour (0xFFACACAC));
    EXPECT_EQ (items[1].image, nullptr);

    for (const int index : { 0, 2, 3 })
    {
        ASSERT_NE (items[index].image, nullptr) << index;
        EXPECT_EQ (items[index].itemID, index + 1);
    }

    const auto star = renderIcon (*items[0].image);
    const auto dot = renderIcon (*items[2].image);
    EXPECT_EQ (items[0].image->getDrawableBounds().toNearestInt(), juce::Rectangle<int> (0, 0, 15, 22));
    EXPECT_EQ (paintedBounds (dot), juce::Rectangle<int> (0, 0, 8, 12));
    EXPECT_TRUE (WidgetTest::pixelIs (dot, 4, 6, juce::Colour (0xFF42A2C8)));

    // Its radii follow the height: the upper point reaches 0.05 h (row 1 of 22), the lower points 0.86 h, and
    // the side points reach past the image's edges, so the star spans the full width.
    const auto starBounds = paintedBounds (star);
    EXPECT_EQ (starBounds.getY(), 1) << starBounds.toString();
    EXPECT_EQ (starBounds.getWidth(), 15) << starBounds.toString();
    EXPECT_NEAR (starBounds.getBottom(), 19, 1) << starBounds.toString();
    EXPECT_TRUE (WidgetTest::pixelIs (star, 7, 11, juce::Colour (0xFFC8C842)));
    EXPECT_EQ (paintedBounds (renderIcon (*items[3].image)), starBounds);
}

TEST_F (NewsBell, EmptyMenuSaysSoAndChoosingItDoesNothing)
{
    juce::StringArray opened;
    bell.openPage = [&] (const juce::URL& page) { opened.add (page.toString (true)); };

    const auto menu = bell.createNewsMenu();
    juce::PopupMenu::MenuItemIterator it (menu);
    ASSERT_TRUE (it.next());
    EXPECT_EQ (it.getItem().text, "No news to display");
    EXPECT_EQ (it.getItem().itemID, 1);
    EXPECT_FALSE (it.next());

    bell.newsMenuCallback (1);
    EXPECT_TRUE (opened.isEmpty());
}

TEST_F (NewsBell, ChosenItemOpensOnlyAPlainWebAddress)
{
    struct Case { const char* url; bool opens; };
    const Case cases[] = {
        { "https://news.example/8?utm_source=CRVPLG8&utm_medium=newsfeed", true },
        { "http://news.example/8", true },
        { "https://news.example/$(touch /tmp/brindlex-news-shell)", false },
        { "https://news.example/`id`", false },
        { "https://news.example/a\" ; id ; \"", false },
        { "file:///etc/passwd", false },
        { "/usr/bin/xterm", false },
        { "javascript:alert(1)", false },
    };

    for (const auto& c : cases)
    {
        juce::StringArray opened;
        bell.openPage = [&] (const juce::URL& page) { opened.add (page.toString (true)); };
        bell.newsItems = { newsItem (9, true), newsItem (8, false, c.url) };

        bell.newsMenuCallback (2);

        EXPECT_EQ (opened.size(), c.opens ? 1 : 0) << c.url;
        if (c.opens && opened.size() == 1)
            EXPECT_TRUE (opened[0].startsWith (juce::String (c.url).upToFirstOccurrenceOf ("?", false, false))) << opened[0];
    }
}

TEST_F (NewsBell, DestroyedWithItsMenuOpenClosesTheMenuAndIgnoresItsResult)
{
    int opened = 0;
    WidgetTest::DesktopWindow window;
    auto bellOnWindow = std::make_unique<corvantis::KT_NewsFeedComponent> (juce::Colours::white);
    bellOnWindow->openPage = [&] (const juce::URL&) { ++opened; };
    bellOnWindow->newsItems.add (newsItem (9, true));
    bellOnWindow->setBounds (0, 0, 40, 40);
    window.addAndMakeVisible (*bellOnWindow);


    // No message is handled between opening the menu and deleting the bell, so the menu is certainly still open.
    bellOnWindow->showNewsMenu();
    ASSERT_NE (WidgetTest::openMenu(), nullptr);

    bellOnWindow.reset();
    WidgetTest::pump (200);

    EXPECT_EQ (WidgetTest::openMenu(), nullptr);
    EXPECT_EQ (opened, 0);
}
