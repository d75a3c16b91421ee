// Renders the editor with its news menu open into a PNG for the README. The news come from a small server on the
// loopback address, and the cache file already marks one item read, so the menu shows every kind of entry.
// Needs a display (run it under Xvfb). Usage: BrindlexNewsScreenshot <output.png>

#include <iostream>
#include <juce_gui_basics/juce_gui_basics.h>

#include "MessagePump.h"
#include "ToolSupport.h"
#include "editor/BrindlexAudioProcessorEditor.h"
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

    bool render (const juce::File& target)
    {
        LoopbackHttpServer::Reply reply;
        reply.body = newsList;
        LoopbackHttpServer server (reply);

        const auto folder = juce::File::createTempFile ("brindlex-news-screenshot");
        folder.getChildFile ("Corvantis/Settings").createDirectory();
        folder.getChildFile ("Corvantis/Settings/newsfeed.xml").replaceWithText (cacheWithOneRead);

        bool written = false;
        {
            BrindlexAudioProcessor processor (folder, server.getAddress());
            std::unique_ptr<juce::AudioProcessorEditor> owner (processor.createEditorIfNeeded());
            auto* editor = dynamic_cast<BrindlexAudioProcessorEditor*> (owner.get());

            editor->setTopLeftPosition (0, 0);
            editor->setVisible (true);
            editor->addToDesktop (0);

            // A menu closes itself at once while no window of the process has the keyboard focus.
            editor->setWantsKeyboardFocus (true);
            editor->grabKeyboardFocus();

            if (pumpUntil ([editor] { return editor->newsDelivered && editor->hasKeyboardFocus (false); }, 10000))
            {
                editor->newsView->showNewsMenu();
                pumpMessages (300);

                if (auto* menu = juce::Component::getCurrentlyModalComponent())
                {
                    // The menu is a window of its own: lay its picture over the editor's where it stands on screen.
                    auto picture = editor->createComponentSnapshot (editor->getLocalBounds());
                    const auto menuPicture = menu->createComponentSnapshot (menu->getLocalBounds());
                    const auto offset = menu->getScreenPosition() - editor->getScreenPosition();
                    {
                        juce::Graphics g (picture);
                        g.drawImageAt (menuPicture, offset.x, offset.y);
                    }

                    target.deleteFile();
                    juce::FileOutputStream out (target);
                    written = out.openedOk() && juce::PNGImageFormat().writeImageToStream (picture, out);
                }
            }

            juce::PopupMenu::dismissAllActiveMenus();
            pumpMessages (100);
            editor->removeFromDesktop();
            processor.editorBeingDeleted (editor);
        }

        folder.deleteRecursively();
        return written;
    }
}

int main (int argc, char** argv)
{
    if (argc != 2)
    {
        std::cerr << "Usage: BrindlexNewsScreenshot <output.png>\n";
        return 2;
    }

    const juce::ScopedJuceInitialiser_GUI juceInit;
    ToolSupport::ignoreXErrors();

    const auto target = juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]);

    if (! render (target))
    {
        std::cerr << "The news menu could not be rendered\n";
        return 1;
    }

    std::cout << "Wrote " << target.getFullPathName() << "\n";
    return 0;
}
