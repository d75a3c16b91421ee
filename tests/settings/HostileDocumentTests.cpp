#include <gtest/gtest.h>
#include <functional>
#include "newsfeed/KT_NewsfeedProcessor.h"
#include "settings/PluginSettings.h"
#include "TestSupport.h"

// Every reader of an XML file or state refuses documents that could bring down the host.
namespace
{
    juce::String repeated (const char* text, int times)
    {
        std::string s;
        for (int i = 0; i < times; ++i)
            s += text;
        return s;
    }

    /** A reader's own document: its root with attributes that would change something, and its content.
        A hostile document adds a prolog (a DTD) and content around the reader's own. */
    struct Document
    {
        juce::String root, attributes, content;

        juce::String text (const juce::String& prolog = {}, const juce::String& extraAttribute = {},
                           const juce::String& extraContent = {}) const
        {
            return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + prolog + "<" + root + " " + attributes + " "
                   + extraAttribute + ">" + content + extraContent + "</" + root + ">\n";
        }
    };

    /** Feeds a document to one reader and tells whether it applied anything. */
    struct Reader
    {
        const char* name;
        Document document;
        std::function<bool (const juce::String& text)> applies;
    };

    juce::File scratchFile (const juce::File& folder, const juce::String& name, const juce::String& text)
    {
        const auto file = folder.getChildFile (name);
        const auto utf8 = text.toStdString();
        file.replaceWithData (utf8.data(), utf8.size());
        return file;
    }

    bool hostStateApplies (const juce::String& text)
    {
        TestProcessor p;
        const auto utf8 = text.toStdString();
        juce::MemoryBlock block;
        block.append ("VC2!", 4);
        const auto length = (juce::uint32) utf8.size();
        const juce::uint8 lengthBytes[4] = { (juce::uint8) length, (juce::uint8) (length >> 8),
                                             (juce::uint8) (length >> 16), (juce::uint8) (length >> 24) };
        block.append (lengthBytes, 4);
        block.append (utf8.c_str(), utf8.size() + 1);
        p->setStateInformation (block.getData(), (int) block.getSize());
        return p->presetName == "applied";
    }

    bool presetFileApplies (const juce::String& text)
    {
        TestProcessor p;
        p->loadPresetFile (scratchFile (p.folder, "shared.aup", text));
        return p->presetName == "applied";
    }

    bool settingsFileApplies (const juce::String& text)
    {
        const auto base = juce::File::createTempFile ("brindlex-hostile");
        const auto folder = base.getChildFile ("Corvantis/Settings");
        folder.createDirectory();
        scratchFile (folder, "Brindlex.aus", text);

        PluginSettings settings (base);
        settings.loadPluginSettings();
        const bool applied = settings.presetsPath == "/applied/";
        EXPECT_EQ (folder.getChildFile ("Brindlex.aus").loadFileAsString(), text) << "an unreadable file is left alone";
        base.deleteRecursively();
        return applied;
    }

    bool newsCacheApplies (const juce::String& text)
    {
        const auto folder = juce::File::createTempFile ("brindlex-hostile");
        folder.createDirectory();
        corvantis::KT_NewsfeedProcessor news;
        news.newsfeedFile = scratchFile (folder, "newsfeed.xml", text).getFullPathName();
        news.loadNewsfeedFile();
        folder.deleteRecursively();
        return ! news.storedStates.isEmpty();
    }

    const Reader readers[] = {
        { "host state", { "Brindlex_Preset", "presetName=\"applied\"", {} }, hostStateApplies },
        { "preset file", { "Brindlex_Preset", "presetName=\"applied\"", {} }, presetFileApplies },
        { "settings file", { "CRVPLG_1198272631_Plugin_Settings",
                             "pluginName=\"Brindlex\" settingsVersion=\"3\" presetsPath=\"/applied/\"", {} },
          settingsFileApplies },
        { "news cache", { "NEWSFEED", {}, "<NEWS_ITEM newsID=\"7\" newsRead=\"0\" isForThisPlugin=\"0\"/>" },
          newsCacheApplies },
    };
}

TEST (HostileDocuments, EveryReaderRefusesDeepNestingDtdsAndOversizedText)
{
    const auto deepNesting = repeated ("<a>", 100000) + repeated ("</a>", 100000);
    const auto oversized = "<!--" + repeated ("                ", 128 * 1024) + "-->";

    for (const auto& reader : readers)
    {
        const auto& d = reader.document;
        ASSERT_TRUE (reader.applies (d.text())) << reader.name << ": its own document is read";
        EXPECT_TRUE (reader.applies (d.text ({}, {}, repeated ("<a>", 3) + repeated ("</a>", 3))))
            << reader.name << ": a little nesting is harmless";

        EXPECT_FALSE (reader.applies (d.text ({}, {}, deepNesting))) << reader.name << ": deep nesting";
        EXPECT_FALSE (reader.applies (d.text ("<!DOCTYPE x [<!ENTITY a \"&a;\">]>\n", "note=\"&a;\"")))
            << reader.name << ": entity that refers to itself";
        EXPECT_FALSE (reader.applies (d.text ("<!DOCTYPE x>\n"))) << reader.name << ": any DTD";
        EXPECT_FALSE (reader.applies (d.text ({}, {}, oversized))) << reader.name << ": two megabytes";
    }
}
