#include "EditorTestSupport.h"
#include "newsfeed/LoopbackHttpServer.h"

namespace
{
    LoopbackHttpServer::Reply newsReply()
    {
        LoopbackHttpServer::Reply reply;
        reply.body = R"([{ "id": 12, "title": "Brindlex 1.3 is out", "url": "https://news.example/12", "tags": "CRVPLG8" },
                         { "id": 11, "title": "Spring sale", "url": "https://news.example/11", "tags": "news" },
                         { "id": 10, "title": "New manual", "url": "https://news.example/10", "tags": "news" }])";
        return reply;
    }

    /** A processor whose news comes from a server on the loopback address, with its settings folder in a fresh
        temporary folder, and the editors a host opens and closes on it. */
    struct EditorNews : public WidgetTest::MenuTest
    {
        EditorNews()
        {
            folder.getChildFile ("Corvantis/Settings").createDirectory();
            processor = std::make_unique<BrindlexAudioProcessor> (folder, server.getAddress());
        }

        ~EditorNews() override
        {
            closeEditor();
            processor.reset();
            folder.deleteRecursively();
        }

        void openEditor()
        {
            owner.reset (processor->createEditorIfNeeded());
            editor = dynamic_cast<BrindlexAudioProcessorEditor*> (owner.get());
            ASSERT_NE (editor, nullptr);
            editor->setTopLeftPosition (0, 0);
            editor->setVisible (true);
            editor->addToDesktop (0);
        }

        void closeEditor()
        {
            if (owner == nullptr)
                return;

            owner->removeFromDesktop();
            processor->editorBeingDeleted (owner.get());
            owner.reset();
            editor = nullptr;
        }

        template <typename Condition>
        bool pumpUntil (Condition condition, int timeOutMs = 10000)
        {
            const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) timeOutMs;
            while (! condition() && juce::Time::getMillisecondCounter() < deadline)
                WidgetTest::pump (20);
            return condition();
        }

        /** Opens the news menu with a press on the bell's lower left, away from the badge. */
        void pressBell()
        {
            auto& bell = *editor->newsView;
            MouseDriver (*editor).click (bell.getBounds().toFloat().getBottomLeft() + juce::Point<float> (6.0f, -6.0f));
        }

        juce::Array<std::pair<int, bool>> cacheEntries() const
        {
            juce::Array<std::pair<int, bool>> entries;
            if (auto root = juce::parseXML (cacheFile))
                for (auto* entry : root->getChildWithTagNameIterator ("NEWS_ITEM"))
                    entries.add ({ entry->getIntAttribute ("newsID"), entry->getBoolAttribute ("newsRead") });
            return entries;
        }

        LoopbackHttpServer server { newsReply() };
        juce::File folder { juce::File::createTempFile ("brindlex-news-editor") };
        juce::File cacheFile { folder.getChildFile ("Corvantis/Settings/newsfeed.xml") };
        std::unique_ptr<BrindlexAudioProcessor> processor;
        std::unique_ptr<juce::AudioProcessorEditor> owner;
        BrindlexAudioProcessorEditor* editor = nullptr;
    };
}

TEST_F (EditorNews, BellShowsTheFetchedNewsAndStoresThemReadOnceTheMenuHasBeenSeen)
{
    openEditor();
    ASSERT_TRUE (pumpUntil ([this] { return editor->newsDelivered; }));

    auto& bell = *editor->newsView;
    EXPECT_TRUE (bell.isVisible());
    EXPECT_EQ (bell.badge.unreadBadgeCount, 3);
    const juce::Colour badgeRed (0xFFB22C2C);
    EXPECT_GT (WidgetTest::countNear (WidgetTest::render (bell.badge), badgeRed), 0);

    juce::StringArray titles;
    int withIcon = 0;
    const auto menu = bell.createNewsMenu();
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
    {
        titles.add (it.getItem().text);
        withIcon += it.getItem().image != nullptr ? 1 : 0;
    }
    EXPECT_EQ (titles, juce::StringArray ({ "Brindlex 1.3 is out", "Spring sale", "New manual" }));
    EXPECT_EQ (withIcon, 3);

    const auto unreadFile = cacheFile.loadFileAsString();
    // The menu stands open from the press on; it may close early when another window takes the focus, which
    // does not change what follows.
    pressBell();
    ASSERT_NE (WidgetTest::openMenu(), nullptr);

    // Nothing is stored while the menu has been open for less than two seconds.
    WidgetTest::pump (1500);
    EXPECT_EQ (cacheFile.loadFileAsString(), unreadFile);
    EXPECT_EQ (bell.badge.unreadBadgeCount, 3);

    ASSERT_TRUE (pumpUntil ([this] { return editor->newsReadStored; }, 2000));
    using Entry = std::pair<int, bool>;
    EXPECT_EQ (cacheEntries(), juce::Array<Entry> (Entry { 12, true }, Entry { 11, true }, Entry { 10, true }));
    EXPECT_EQ (bell.badge.unreadBadgeCount, 0);
    EXPECT_EQ (WidgetTest::countNear (WidgetTest::render (bell.badge), badgeRed), 0);
    juce::PopupMenu::dismissAllActiveMenus();

    // A window opened again gets a new editor: it delivers the news again, and has nothing left to store.
    closeEditor();
    const auto readFile = cacheFile.loadFileAsString();
    const auto readTime = cacheFile.getLastModificationTime();
    openEditor();
    ASSERT_TRUE (pumpUntil ([this] { return editor->newsDelivered; }));
    EXPECT_EQ (editor->newsView->newsItems.size(), 3);
    EXPECT_EQ (editor->newsView->badge.unreadBadgeCount, 0);

    pressBell();
    ASSERT_TRUE (pumpUntil ([this] { return editor->newsReadStored; }, 3000));
    EXPECT_EQ (cacheFile.loadFileAsString(), readFile);
    EXPECT_EQ (cacheFile.getLastModificationTime(), readTime);
    EXPECT_EQ (server.getRequests().size(), 1);
}
