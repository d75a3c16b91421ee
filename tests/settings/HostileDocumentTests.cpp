#include <gtest/gtest.h>
#include <functional>
#include "newsfeed/KT_NewsfeedProcessor.h"
#include "TestSupport.h"

// Every reader of an XML state or file refuses documents that could bring down the host.
namespace
{
    juce::String repeated (const char* text, int times)
    {
        std::string s;
        while (--times >= 0)
            s += text;
        return s;
    }

    juce::File fileWith (const juce::File& file, const juce::String& text)
    {
        file.getParentDirectory().createDirectory();
        file.replaceWithData (text.toRawUTF8(), text.getNumBytesAsUTF8());
        return file;
    }

    /** A reader, the opening tag and content of a document that it would apply, and whether it applied one. */
    const struct
    {
        const char* name;
        const char* root;
        const char* content;
        std::function<bool (const juce::String&)> applies;
    } readers[] = {
        { "host state", "Brindlex_Preset presetName=\"applied\"", "", [] (const juce::String& text)
          {
              TestProcessor p;
              juce::MemoryOutputStream envelope;
              envelope.writeInt (0x21324356);
              envelope.writeInt ((int) text.getNumBytesAsUTF8());
              envelope << text;
              envelope.writeByte (0);
              p->setStateInformation (envelope.getData(), (int) envelope.getDataSize());
              return p->presetName == "applied";
          } },
        { "preset file", "Brindlex_Preset presetName=\"applied\"", "", [] (const juce::String& text)
          {
              TestProcessor p;
              p->loadPresetFile (fileWith (p.folder.getChildFile ("shared.aup"), text));
              return p->presetName == "applied";
          } },
        { "settings file", "CRVPLG_1198272631_Plugin_Settings pluginName=\"Brindlex\" settingsVersion=\"3\" presetsPath=\"/applied/\"",
          "", [] (const juce::String& text)
          {
              TestProcessor p ([&text] (const juce::File& base) { fileWith (base.getChildFile ("Corvantis/Settings/Brindlex.aus"), text); });
              EXPECT_EQ (p.folder.getChildFile ("Corvantis/Settings/Brindlex.aus").loadFileAsString(), text) << "left alone";
              return p->settings.presetsPath == "/applied/";
          } },
        { "news cache", "NEWSFEED", "<NEWS_ITEM newsID=\"7\"/>", [] (const juce::String& text)
          {
              TestProcessor p;
              corvantis::KT_NewsfeedProcessor news;
              news.newsfeedFile = fileWith (p.folder.getChildFile ("newsfeed.xml"), text).getFullPathName();
              news.loadNewsfeedFile();
              return ! news.storedStates.isEmpty();
          } },
    };
}

TEST (HostileDocuments, EveryReaderRefusesDeepNestingDtdsAndOversizedText)
{
    for (const auto& r : readers)
    {
        // The reader's own kind of document, with a prolog, an attribute and content of the test's choosing.
        auto document = [&r] (const juce::String& prolog, const juce::String& attribute, const juce::String& content)
        {
            return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + prolog + "<" + r.root + " " + attribute + ">"
                   + r.content + content + "</x>";
        };

        EXPECT_TRUE (r.applies (document ({}, {}, "<a><a></a></a>"))) << r.name << ": a document of its own kind";
        EXPECT_FALSE (r.applies (document ({}, {}, repeated ("<a>", 100000) + repeated ("</a>", 100000)))) << r.name;
        EXPECT_FALSE (r.applies (document ("<!DOCTYPE x [<!ENTITY a \"&a;\">]>", "note=\"&a;\"", {}))) << r.name;
        EXPECT_FALSE (r.applies (document ("<!DOCTYPE x>", {}, {}))) << r.name << ": any DTD";
        EXPECT_FALSE (r.applies (document ({}, {}, "<!--" + repeated (" ", 2 << 20) + "-->"))) << r.name << ": two megabytes";
    }
}
