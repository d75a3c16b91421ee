// Renders the editor with its news menu open into a PNG for the README. The editor stands as in the README's
// editor picture (a prepared processor with the factory presets); the news come from a small server on the
// loopback address, and the cache file already marks one item read, so the menu shows every kind of entry.
// Needs a display (run it under Xvfb). Usage: BrindlexNewsScreenshot <factory presets folder> <output.png>

#include <iostream>
#include <juce_gui_basics/juce_gui_basics.h>

#include "EditorScene.h"
#include "MessagePump.h"
#include "ToolSupport.h"
#include "newsfeed/LoopbackHttpServer.h"

namespace
{
    const char* const newsList = R"([
        { "id": 12, "title": "Brindlex 1.3: ping-pong presets", "url": "https://news.example/12", "tags": "CRVPLG8" },
        { "id": 11, "title": "Spring sale on every plug-in", "url": "https://news.example/11", "tags": "news" },
        { "id": 10, "title": "The new online manual", "url": "https://news.example/10", "tags": "news" }])";

    const char* const cacheWithOneRead = R"(<?xml version="1.0" encoding="UTF-8"?>
<NEWSFEED>
  <NEWS_ITEM newsID="12" newsRead="0" isForThisPlugin="1"/>
  <NEWS_ITEM newsID="11" newsRead="1" isForThisPlugin="0"/>
  <NEWS_ITEM newsID="10" newsRead="0" isForThisPlugin="0"/>
</NEWSFEED>
)";

    template <typename Condition>
    bool pumpUntil (Condition condition, int timeOutMs)
    {
        const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) timeOutMs;
        while (! condition() && juce::Time::getMillisecondCounter() < deadline)
            pumpMessages (20);
        return condition();
    }

    bool render (const juce::File& factoryPresets, const juce::File& target)
    {
        LoopbackHttpServer::Reply reply;
        reply.body = newsList;
        LoopbackHttpServer server (reply);

        ToolSupport::EditorScene scene (factoryPresets, [] (const juce::File& company)
        {
            company.getChildFile ("Settings").createDirectory();
            company.getChildFile ("Settings/newsfeed.xml").replaceWithText (cacheWithOneRead);
        }, server.getAddress());
        auto& editor = scene.view();

        bool written = false;

        if (pumpUntil ([&editor] { return editor.newsDelivered; }, 10000) && editor.presetMenu.getText() == "00 - INIT")
        {
            editor.newsView->showNewsMenu();
            pumpMessages (300);

            if (juce::Component::getCurrentlyModalComponent() != nullptr)
                written = ToolSupport::save (scene.render(), target);
        }

        juce::PopupMenu::dismissAllActiveMenus();
        pumpMessages (100);
        return written;
    }
}

int main (int argc, char** argv)
{
    if (argc != 3)
    {
        std::cerr << "Usage: BrindlexNewsScreenshot <factory presets folder> <output.png>\n";
        return 2;
    }

    const juce::ScopedJuceInitialiser_GUI juceInit;
    ToolSupport::ignoreXErrors();

    const auto factoryPresets = juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]);
    const auto target = juce::File::getCurrentWorkingDirectory().getChildFile (argv[2]);

    if (! render (factoryPresets, target))
    {
        std::cerr << "The news menu could not be rendered\n";
        return 1;
    }

    std::cout << "Wrote " << target.getFullPathName() << "\n";
    return 0;
}
