#include "newsfeed/KT_NewsFeedComponent.h"
#include "widgets/WidgetTestSupport.h"

namespace
{
    NewsItem newsItem (int id, bool forThisPlugin, const juce::String& url = "https://news.example/1?utm_source=x")
    {
        return { id, "Item " + juce::String (id), url, {}, false, forThisPlugin };
    }

    /** The bounds of the pixels painted at all, or of those near `colour` when one is given. */
    juce::Rectangle<int> paintedBounds (const juce::Image& image, juce::Colour colour = {})
    {
        juce::RectangleList<int> painted;
        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x)
                if (colour.isTransparent() ? image.getPixelAt (x, y).getAlpha() > 0
                                           : WidgetTest::near (image.getPixelAt (x, y), colour, 40))
                    painted.add ({ x, y, 1, 1 });
        return painted.getBounds();
    }

    using NewsBell = WidgetTest::MenuTest;
}

TEST_F (NewsBell, BadgeDrawsTheCountInARedSquareAndNothingForZero)
{
    corvantis::KT_NewsFeedComponent::notificationIcon badge;
    badge.setSize (24, 24);
    EXPECT_TRUE (paintedBounds (WidgetTest::render (badge)).isEmpty());

    badge.unreadBadgeCount = 3;
    const auto image = WidgetTest::render (badge);
    EXPECT_TRUE (WidgetTest::pixelIs (image, 12, 2, juce::Colour (0xFFB22C2C)));
    const auto digit = paintedBounds (image, juce::Colours::white);
    EXPECT_TRUE (! digit.isEmpty() && juce::Rectangle<int> (3, 3, 18, 18).contains (digit)) << digit.toString();
}

TEST_F (NewsBell, MenuMarksItemsAndDrawsIconsAtTheEditorsScale)
{
    corvantis::KT_NewsFeedComponent bell (juce::Colours::white);
    bell.scaleY = 1.5f;
    bell.newsItems.addArray ({ newsItem (9, true), newsItem (8, false), newsItem (7, false), newsItem (6, true) });
    bell.storedStates.addArray ({ StoredNewsState { 8, true, false }, StoredNewsState { 6, true, true } });

    const auto menu = bell.createNewsMenu();
    juce::Array<const juce::PopupMenu::Item*> items;
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
        items.add (&it.getItem());
    ASSERT_EQ (items.size(), 4);

    // A general item read in the cache is grey without an icon; ours keep the star even when read. The icons
    // follow the editor's scale and draw inside their bounds: the star's are 15 by 22, the dot's 8 by 12.
    EXPECT_TRUE (items[1]->colour == juce::Colour (0xFFACACAC) && items[1]->image == nullptr && items[3]->image != nullptr);
    for (const auto& [i, size] : { std::pair (0, juce::Rectangle<int> (15, 22)), std::pair (2, juce::Rectangle<int> (8, 12)) })
    {
        ASSERT_NE (items[i]->image, nullptr) << i;
        juce::Image canvas (juce::Image::ARGB, 64, 64, true);
        juce::Graphics g (canvas);
        items[i]->image->draw (g, 1.0f);
        EXPECT_EQ (items[i]->image->getDrawableBounds().toNearestInt(), size);
        EXPECT_TRUE (size.contains (paintedBounds (canvas)) && ! paintedBounds (canvas).isEmpty()) << i;
    }

    bell.newsItems.clear();
    const auto empty = bell.createNewsMenu();
    juce::PopupMenu::MenuItemIterator it (empty);
    EXPECT_TRUE (it.next() && it.getItem().text == "No news to display" && ! it.next());
}

TEST_F (NewsBell, ChosenItemOpensOnlyAPlainWebAddress)
{
    corvantis::KT_NewsFeedComponent bell (juce::Colours::white);
    const std::pair<const char*, bool> cases[] = {
        { "https://news.example/8?utm_source=CRVPLG8&utm_medium=newsfeed", true }, { "file:///etc/passwd", false },
        { "https://news.example/9?q=a+b%2F&flag&utm_source=CRVPLG8#more", true },
        { "https://news.example/$(touch /tmp/brindlex-news-shell)", false }, { "https://news.example/`id`", false },
        { "https://news.example/a\" ; id ; \"", false }, { "/usr/bin/xterm", false },
    };

    for (const auto& [url, opens] : cases)
    {
        juce::StringArray opened;
        bell.openPage = [&] (const juce::URL& page) { opened.add (page.toString (true)); };
        bell.newsItems = NewsItemArray (newsItem (9, true), newsItem (8, false, url));

        bell.newsMenuCallback (2);
        EXPECT_EQ (opened, opens ? juce::StringArray (url) : juce::StringArray()) << url;
    }
}

TEST_F (NewsBell, DestroyedWithItsMenuOpenClosesTheMenuAndIgnoresItsResult)
{
    int opened = 0;
    WidgetTest::DesktopWindow window;
    auto bell = std::make_unique<corvantis::KT_NewsFeedComponent> (juce::Colours::white);
    bell->openPage = [&] (const juce::URL&) { ++opened; };
    bell->newsItems.add (newsItem (9, true));
    bell->setBounds (0, 0, 40, 40);
    window.addAndMakeVisible (*bell);

    // No message is handled between opening the menu and deleting the bell, so the menu is certainly still open.
    bell->showNewsMenu();
    ASSERT_NE (WidgetTest::openMenu(), nullptr);
    bell.reset();
    EXPECT_TRUE (pumpUntil ([] { return WidgetTest::openMenu() == nullptr; }));

    // The result was posted as the menu closed: once it has arrived, nothing can open a page any more.
    ASSERT_TRUE (pumpPosted());
    EXPECT_EQ (opened, 0);
}
