#include "EditorTestSupport.h"
#include "newsfeed/LoopbackHttpServer.h"

using EditorNews = WidgetTest::MenuTest;

TEST_F (EditorNews, BellShowsTheFetchedNewsAndStoresThemReadOnceTheMenuHasBeenSeen)
{
    LoopbackHttpServer server ({ 200, R"([{ "id": 12, "title": "Brindlex 1.3 is out", "url": "https://n.example/12", "tags": "CRVPLG8" },
                                          { "id": 11, "title": "Spring sale", "url": "https://n.example/11", "tags": "news" },
                                          { "id": 10, "title": "New manual", "url": "https://n.example/10", "tags": "news" }])", {} });
    TestProcessor base ([] (const juce::File& folder) { folder.getChildFile ("Corvantis/Settings").createDirectory(); });
    BrindlexAudioProcessor processor (base.folder, server.getAddress());
    const auto cacheFile = base.folder.getChildFile ("Corvantis/Settings/newsfeed.xml");
    const auto redPixels = [] (juce::Component& badge) { return WidgetTest::countNear (WidgetTest::render (badge), juce::Colour (0xFFB22C2C)); };

    // Opens an editor as a host does, waits for the news and presses the bell away from its badge.
    const auto openEditorAndPressBell = [&] (int unreadBefore)
    {
        std::unique_ptr<juce::AudioProcessorEditor> owner (processor.createEditorIfNeeded());
        auto& editor = dynamic_cast<BrindlexAudioProcessorEditor&> (*owner);
        editor.setVisible (true);
        editor.addToDesktop (0);
        ASSERT_TRUE (pumpUntil ([&] { return editor.newsDelivered; }, 30000));
        auto& bell = *editor.newsView;
        EXPECT_EQ (bell.newsItems.size(), 3);
        EXPECT_EQ (bell.badge.unreadBadgeCount, unreadBefore);
        EXPECT_EQ (redPixels (bell.badge) > 0, unreadBefore > 0);
        juce::StringArray titlesWithIcons;
        const auto menu = bell.createNewsMenu();
        for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
            if (it.getItem().image != nullptr)
                titlesWithIcons.add (it.getItem().text);
        if (unreadBefore > 0)
            EXPECT_EQ (titlesWithIcons, juce::StringArray ({ "Brindlex 1.3 is out", "Spring sale", "New manual" }));

        // The menu stands open from the press on; another window may take the focus and close it early, which
        // changes nothing that follows.
        MouseDriver { editor }.click (bell.getBounds().getBottomLeft().toFloat() + juce::Point<float> (6, -6));
        ASSERT_NE (WidgetTest::openMenu(), nullptr);
        const auto before = cacheFile.loadFileAsString();

        // Well within the 2 s the open menu takes to count as seen, the file is still as it was; after them it
        // is written, however late a busy machine gets there.
        pumpMessages (1500);
        EXPECT_EQ (cacheFile.loadFileAsString(), before);
        ASSERT_TRUE (pumpUntil ([&] { return editor.newsReadStored; }));

        EXPECT_EQ (bell.badge.unreadBadgeCount + redPixels (bell.badge), 0);
        juce::PopupMenu::dismissAllActiveMenus();
        editor.removeFromDesktop();
        processor.editorBeingDeleted (&editor);
    };

    openEditorAndPressBell (3);
    const auto root = juce::parseXML (cacheFile);
    ASSERT_NE (root, nullptr);
    juce::StringArray stored;
    for (auto* entry : root->getChildWithTagNameIterator ("NEWS_ITEM"))
        stored.add (entry->getStringAttribute ("newsID") + ":" + entry->getStringAttribute ("newsRead"));
    EXPECT_EQ (stored, juce::StringArray ({ "12:1", "11:1", "10:1" }));

    // A window opened again gets a new editor: it delivers the news again and leaves the file as it is.
    const auto readFile = cacheFile.loadFileAsString();
    const auto readTime = cacheFile.getLastModificationTime();
    openEditorAndPressBell (0);
    EXPECT_TRUE (cacheFile.loadFileAsString() == readFile && cacheFile.getLastModificationTime() == readTime);
}

TEST_F (EditorNews, AMenuOpenedBeforeTheNewsArriveLeavesTheReadStateToTheMenuThatShowsThem)
{
    LoopbackHttpServer server ({ 200, R"([{ "id": 10, "title": "New manual", "url": "https://n.example/10", "tags": "news" }])", false, true });
    TestProcessor base ([] (const juce::File& folder) { folder.getChildFile ("Corvantis/Settings").createDirectory(); });
    BrindlexAudioProcessor processor (base.folder, server.getAddress());
    std::unique_ptr<juce::AudioProcessorEditor> owner (processor.createEditorIfNeeded());
    auto& editor = dynamic_cast<BrindlexAudioProcessorEditor&> (*owner);
    editor.setVisible (true);
    editor.addToDesktop (0);
    auto& bell = *editor.newsView;
    const auto pressBell = [&] { MouseDriver { editor }.click (bell.getBounds().getBottomLeft().toFloat() + juce::Point<float> (6, -6)); };

    // The service has not answered yet: the menu says "No news to display", and stays open longer than 2 s.
    pressBell();
    pumpUntil ([&] { return editor.newsReadStored; }, 2500);
    juce::PopupMenu::dismissAllActiveMenus();
    server.release();
    ASSERT_TRUE (pumpUntil ([&] { return editor.newsDelivered; }, 30000));

    // A single unread item shows as a red badge with "1".
    const auto badge = WidgetTest::render (bell.badge);
    EXPECT_EQ (bell.badge.unreadBadgeCount, 1);
    EXPECT_TRUE (WidgetTest::countNear (badge, juce::Colour (0xFFB22C2C)) > 0 && WidgetTest::countNear (badge, juce::Colours::white) > 0);

    pressBell();
    EXPECT_TRUE (pumpUntil ([&] { return bell.badge.unreadBadgeCount == 0; }));
    EXPECT_TRUE (base.folder.getChildFile ("Corvantis/Settings/newsfeed.xml").loadFileAsString().contains ("newsRead=\"1\""));
    juce::PopupMenu::dismissAllActiveMenus();
    editor.removeFromDesktop();
    processor.editorBeingDeleted (&editor);
}
