#include <gtest/gtest.h>
#include <cmath>
#include <cstring>
#include <vector>
#include "processor/BrindlexAudioProcessor.h"
#include "TestSupport.h"

// Host state envelope, the preset element and preset files.
namespace
{
    const char* const parameterAttributes[64] = {
        "Input", "LFCut", "HFCut", "LTimeRange", "L1TapTime", "L1TapSync", "L1TapMod", "L1TapPan", "L1TapLevel",
        "L2TapTime", "L2TapSync", "L2TapMod", "L2TapPan", "L2TapLevel", "L3TapTime", "L3TapSync", "L3TapMod",
        "L3TapPan", "L3TapLevel", "LFBTapMode", "LFBTapTime", "LFBTapSync", "LFBTapMod", "LFBTapLevel", "LFeedback",
        "LFBLowDamp", "LFBHiDamp", "LMODShape", "LMODRate", "LMODSync", "RTimeRange", "R1TapTime", "R1TapSync",
        "R1TapMod", "R1TapPan", "R1TapLevel", "R2TapTime", "R2TapSync", "R2TapMod", "R2TapPan", "R2TapLevel",
        "R3TapTime", "R3TapSync", "R3TapMod", "R3TapPan", "R3TapLevel", "RFBTapMode", "RFBTapTime", "RFBTapSync",
        "RFBTapMod", "RFBTapLevel", "RFeedback", "RFBLowDamp", "RFBHiDamp", "RMODShape", "RMODRate", "RMODSync",
        "Drive", "Dry", "Wet", "LinkMode", "LoopMode", "LoopSpeed", "LoopReverse"
    };

    constexpr int wetIndex = 59;
    constexpr int linkModeIndex = 60;

    /** Everything a host state can change, to tell whether anything was applied. */
    struct Snapshot
    {
        std::vector<float> values;
        juce::String presetName;
        int width = 0, height = 0;

        bool operator== (const Snapshot& o) const
        {
            return values == o.values && presetName == o.presetName && width == o.width && height == o.height;
        }
    };

    Snapshot snapshotOf (BrindlexAudioProcessor& p)
    {
        Snapshot s;
        for (auto* parameter : p.getParameters())
            s.values.push_back (parameter->getValue());
        s.presetName = p.presetName;
        s.width = p.currentWidth;
        s.height = p.currentHeight;
        return s;
    }

    /** Gives every parameter a distinct value inside 0..1, keeping Link Mode off. */
    void setDistinctValues (BrindlexAudioProcessor& p, juce::Random& random)
    {
        for (auto* parameter : p.getParameters())
            parameter->setValue (random.nextFloat());
        p.getParameters()[linkModeIndex]->setValue (0.0f);
    }

    juce::MemoryBlock stateOf (BrindlexAudioProcessor& p)
    {
        juce::MemoryBlock block;
        p.getStateInformation (block);
        return block;
    }

    juce::uint32 readLittleEndian32 (const juce::MemoryBlock& block, size_t offset)
    {
        auto* b = static_cast<const juce::uint8*> (block.getData()) + offset;
        return (juce::uint32) b[0] | ((juce::uint32) b[1] << 8) | ((juce::uint32) b[2] << 16) | ((juce::uint32) b[3] << 24);
    }

    /** A host envelope around any text, built byte by byte. */
    juce::MemoryBlock envelope (const juce::String& text, juce::int64 lengthField = -1)
    {
        juce::MemoryBlock block;
        const auto utf8 = text.toStdString();
        const auto length = (juce::uint32) (lengthField < 0 ? (juce::int64) utf8.size() : lengthField);
        const juce::uint8 header[8] = { 0x56, 0x43, 0x32, 0x21,
                                        (juce::uint8) length, (juce::uint8) (length >> 8),
                                        (juce::uint8) (length >> 16), (juce::uint8) (length >> 24) };
        block.append (header, 8);
        block.append (utf8.data(), utf8.size());
        const char zero = 0;
        block.append (&zero, 1);
        return block;
    }

    juce::String presetText (const juce::String& tag, const juce::String& attributes)
    {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n<" + tag + " " + attributes + "/>\r\n";
    }

    void apply (BrindlexAudioProcessor& p, const juce::MemoryBlock& block)
    {
        p.setStateInformation (block.getData(), (int) block.getSize());
    }
}

TEST (HostState, EnvelopeHoldsSingleLineXmlWithSeventyAttributesInOrder)
{
    TestProcessor p;
    p->presetName = "My Echo";
    p->currentWidth = 1234;
    p->currentHeight = 630;
    p->getParameters()[wetIndex]->setValue (0.25f);

    const auto block = stateOf (*p);
    ASSERT_GT (block.getSize(), 9u);

    auto* bytes = static_cast<const juce::uint8*> (block.getData());
    EXPECT_EQ (bytes[0], 0x56);
    EXPECT_EQ (bytes[1], 0x43);
    EXPECT_EQ (bytes[2], 0x32);
    EXPECT_EQ (bytes[3], 0x21);
    EXPECT_EQ (readLittleEndian32 (block, 4), (juce::uint32) block.getSize() - 9u);
    EXPECT_EQ (bytes[block.getSize() - 1], 0);

    const auto text = juce::String::fromUTF8 (static_cast<const char*> (block.getData()) + 8, (int) block.getSize() - 9);
    EXPECT_TRUE (text.startsWith ("<?xml version=\"1.0\" encoding=\"UTF-8\"?> <Brindlex_Preset ")) << text;
    EXPECT_FALSE (text.containsChar ('\n'));
    EXPECT_FALSE (text.containsChar ('\r'));
    EXPECT_TRUE (text.endsWith ("/>"));

    auto element = juce::parseXML (text);
    ASSERT_NE (element, nullptr);
    EXPECT_EQ (element->getTagName(), "Brindlex_Preset");
    EXPECT_EQ (element->getNumChildElements(), 0);
    ASSERT_EQ (element->getNumAttributes(), 70);

    EXPECT_EQ (element->getAttributeName (0), "presetName");
    EXPECT_EQ (element->getAttributeValue (0), "My Echo");
    EXPECT_EQ (element->getAttributeName (1), "majorVersion");
    EXPECT_EQ (element->getAttributeValue (1), "1");
    EXPECT_EQ (element->getAttributeName (2), "minorVersion");
    EXPECT_EQ (element->getAttributeValue (2), "2");
    EXPECT_EQ (element->getAttributeName (3), "revisionVersion");
    EXPECT_EQ (element->getAttributeValue (3), "0");
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ (element->getAttributeName (4 + i), parameterAttributes[i]) << i;
    EXPECT_EQ (element->getAttributeName (68), "CurrentWidth");
    EXPECT_EQ (element->getAttributeValue (68), "1234");
    EXPECT_EQ (element->getAttributeName (69), "CurrentHeight");
    EXPECT_EQ (element->getAttributeValue (69), "630");

    EXPECT_DOUBLE_EQ (element->getDoubleAttribute ("Wet"), 0.25);
    EXPECT_DOUBLE_EQ (element->getDoubleAttribute ("RFBTapSync"), 1.0);
}

TEST (HostState, RoundTripKeepsEveryValueTheNameAndTheEditorSize)
{
    juce::Random random (20261206);
    TestProcessor source;
    setDistinctValues (*source, random);
    source->presetName = "Round Trip";
    source->currentWidth = 1111;
    source->currentHeight = 567;
    const auto block = stateOf (*source);

    TestProcessor target;
    setDistinctValues (*target, random);
    apply (*target, block);

    EXPECT_EQ (snapshotOf (*target).values, snapshotOf (*source).values);
    EXPECT_EQ (target->presetName, "Round Trip");
    EXPECT_EQ ((int) target->currentWidth, 1111);
    EXPECT_EQ ((int) target->currentHeight, 567);

    // Saving again gives the very same bytes.
    EXPECT_EQ (stateOf (*target), block);
}

TEST (HostState, StateAppliedBeforeTheFirstPrepareIsKeptByIt)
{
    TestProcessor source;
    source->getParameters()[wetIndex]->setValue (0.8f);
    source->getParameters()[57]->setValue (0.3f);
    const auto block = stateOf (*source);

    TestProcessor target;
    EXPECT_FALSE (target->stateLoadedBeforePrepare);
    apply (*target, block);
    EXPECT_TRUE (target->stateLoadedBeforePrepare);

    target->prepareToPlay (48000.0, 256);
    EXPECT_FLOAT_EQ (target->getParameters()[wetIndex]->getValue(), 0.8f);
    EXPECT_FLOAT_EQ (target->getParameters()[57]->getValue(), 0.3f);

    apply (*target, block);
    EXPECT_FALSE (target->stateLoadedBeforePrepare);
}

TEST (HostState, EditorSizeOnlyFromPositiveValues)
{
    TestProcessor p;
    apply (*p, envelope (presetText ("Brindlex_Preset", "CurrentWidth=\"800\" CurrentHeight=\"400\"")));
    EXPECT_EQ ((int) p->currentWidth, 800);
    EXPECT_EQ ((int) p->currentHeight, 400);

    apply (*p, envelope (presetText ("Brindlex_Preset", "CurrentWidth=\"0\" CurrentHeight=\"-20\"")));
    EXPECT_EQ ((int) p->currentWidth, 800);
    EXPECT_EQ ((int) p->currentHeight, 400);

    apply (*p, envelope (presetText ("Brindlex_Preset", "presetName=\"x\"")));
    EXPECT_EQ ((int) p->currentWidth, 800);
    EXPECT_EQ ((int) p->currentHeight, 400);
}

TEST (PresetElement, EditorSizeOnlyWithinTwoHundredMillisecondsOfAHostState)
{
    TestProcessor p;
    auto file = p.folder.getChildFile ("Sized.aup");
    ASSERT_TRUE (file.replaceWithText (presetText ("Brindlex_Preset", "presetName=\"Sized\" CurrentWidth=\"800\" CurrentHeight=\"400\"")));

    // A fresh instance has had no host state: a preset file never sets the size.
    p->loadPresetFile (file);
    EXPECT_EQ (p->presetName, "Sized");
    EXPECT_EQ ((int) p->currentWidth, 980);
    EXPECT_EQ ((int) p->currentHeight, 500);

    p->lastStateLoadTime = juce::Time::getMillisecondCounter() - 250u;
    p->loadPresetFile (file);
    EXPECT_EQ ((int) p->currentWidth, 980);

    p->lastStateLoadTime = juce::Time::getMillisecondCounter();
    p->writingPresetFile = true;
    p->loadPresetFile (file);
    EXPECT_EQ ((int) p->currentWidth, 980);
    p->writingPresetFile = false;

    p->lastStateLoadTime = juce::Time::getMillisecondCounter();
    p->loadPresetFile (file);
    EXPECT_EQ ((int) p->currentWidth, 800);
    EXPECT_EQ ((int) p->currentHeight, 400);
}

TEST (PresetElement, LockedParametersKeepTheirValues)
{
    juce::Random random (7);
    TestProcessor source;
    setDistinctValues (*source, random);
    const auto block = stateOf (*source);

    TestProcessor target;
    target->getParameters()[wetIndex]->setValue (0.125f);
    target->getParameters()[4]->setValue (0.0625f);
    target->parameterLocks[wetIndex] = true;
    target->parameterLocks[4] = true;
    apply (*target, block);

    for (int i = 0; i < 64; ++i)
    {
        const float v = target->getParameters()[i]->getValue();
        const float expected = i == wetIndex ? 0.125f : (i == 4 ? 0.0625f : source->getParameters()[i]->getValue());
        EXPECT_FLOAT_EQ (v, expected) << i;
    }

    // The same holds for a preset file.
    auto file = target.folder.getChildFile ("Locked.aup");
    ASSERT_TRUE (file.replaceWithText (presetText ("Brindlex_Preset", "Wet=\"0.9\" L1TapTime=\"0.9\" Dry=\"0.9\"")));
    target->loadPresetFile (file);
    EXPECT_FLOAT_EQ (target->getParameters()[wetIndex]->getValue(), 0.125f);
    EXPECT_FLOAT_EQ (target->getParameters()[4]->getValue(), 0.0625f);
    EXPECT_FLOAT_EQ (target->getParameters()[58]->getValue(), 0.9f);
}

TEST (PresetElement, MissingAttributesTakeDefaultsAndTheTagIgnoresCase)
{
    juce::Random random (11);
    TestProcessor p;
    setDistinctValues (*p, random);
    p->presetName = "Before";

    apply (*p, envelope (presetText ("brindlex_preset", "majorVersion=\"7\" Drive=\"0.75\"")));

    EXPECT_EQ (p->presetName, "");
    EXPECT_FLOAT_EQ (p->getParameters()[57]->getValue(), 0.75f);
    EXPECT_FLOAT_EQ (p->getParameters()[wetIndex]->getValue(), 0.5f);   // 50 %
    EXPECT_FLOAT_EQ (p->getParameters()[58]->getValue(), 1.0f);         // Dry 100 %
    EXPECT_FLOAT_EQ (p->getParameters()[48]->getValue(), 1.0f);         // RFB Tap Sync on
    EXPECT_FLOAT_EQ (p->getParameters()[7]->getValue(), 0.0f);          // L1 Tap Pan hard left
    EXPECT_NEAR (p->getParameters()[4]->getValue(), 0.49978f, 1.0e-4f); // L1 Tap Time 883 ms
    for (auto* parameter : p->getParameters())
    {
        if (parameter->getParameterIndex() != 57)
        {
            EXPECT_FLOAT_EQ (parameter->getValue(), parameter->getDefaultValue()) << parameter->getName (100);
        }
    }

    // Attribute names are matched exactly: a differently spelt name counts as missing.
    apply (*p, envelope (presetText ("Brindlex_Preset", "presetname=\"x\" wet=\"0.1\" Wet=\"0.2\"")));
    EXPECT_EQ (p->presetName, "");
    EXPECT_FLOAT_EQ (p->getParameters()[wetIndex]->getValue(), 0.2f);
}

TEST (PresetElement, ValuesStayInsideTheHostRange)
{
    TestProcessor p;
    apply (*p, envelope (presetText ("Brindlex_Preset",
                                     "Wet=\"1.7\" Dry=\"-3\" Drive=\"abc\" LFeedback=\"nan\" RFeedback=\"inf\" "
                                     "LoopSpeed=\"-inf\" Input=\"1e300\" LFCut=\"0.25xyz\"")));

    auto value = [&p] (int i) { return p->getParameters()[i]->getValue(); };
    EXPECT_FLOAT_EQ (value (wetIndex), 1.0f);
    EXPECT_FLOAT_EQ (value (58), 0.0f);
    EXPECT_FLOAT_EQ (value (57), 0.0f);   // not a number reads as 0
    EXPECT_FLOAT_EQ (value (24), 0.5f);   // non-finite counts as missing: default 50 %
    EXPECT_FLOAT_EQ (value (51), 0.5f);
    EXPECT_FLOAT_EQ (value (62), 0.5f);   // Loop Speed default 100 % of 200
    EXPECT_FLOAT_EQ (value (0), 1.0f);
    EXPECT_FLOAT_EQ (value (1), 0.25f);

    for (auto* parameter : p->getParameters())
    {
        EXPECT_GE (parameter->getValue(), 0.0f);
        EXPECT_LE (parameter->getValue(), 1.0f);
    }
}

TEST (PresetElement, ForeignTagAppliesNothingButMarksTheElementAsSeen)
{
    juce::Random random (3);
    TestProcessor p;
    setDistinctValues (*p, random);
    const auto before = snapshotOf (*p);

    apply (*p, envelope (presetText ("Other_Preset", "Wet=\"0.1\" CurrentWidth=\"800\"")));
    EXPECT_TRUE (snapshotOf (*p) == before);
    EXPECT_TRUE (p->stateLoadedBeforePrepare);

    auto file = p.folder.getChildFile ("Other.aup");
    ASSERT_TRUE (file.replaceWithText (presetText ("Other_Preset", "Wet=\"0.1\"")));
    p->loadPresetFile (file);
    p->loadPresetFile (p.folder.getChildFile ("Missing.aup"));
    auto garbage = p.folder.getChildFile ("Garbage.aup");
    ASSERT_TRUE (garbage.replaceWithText ("this is not <xml"));
    p->loadPresetFile (garbage);
    p->loadPresetFile (juce::File());
    auto cutOff = p.folder.getChildFile ("CutOff.aup");
    ASSERT_TRUE (cutOff.replaceWithText ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Brindlex_Preset presetName=\"Cut\" Wet=\"0.1\""));
    p->loadPresetFile (cutOff);
    EXPECT_TRUE (snapshotOf (*p) == before);
}

TEST (PresetFile, WrittenWithoutEditorSizeInTheMultiLineFormAndLoadedBack)
{
    juce::Random random (5);
    TestProcessor source;
    setDistinctValues (*source, random);
    source->presetName = "Saved";

    source->writingPresetFile = true;
    juce::XmlElement element ("Brindlex_Preset");
    source->writePresetXml (element);
    source->writingPresetFile = false;

    auto file = source.folder.getChildFile ("Saved.aup");
    ASSERT_TRUE (element.writeTo (file));

    const auto text = file.loadFileAsString();
    EXPECT_TRUE (text.startsWith ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"));
    EXPECT_TRUE (text.contains ("\r\n       "));
    EXPECT_FALSE (text.contains ("CurrentWidth"));

    auto parsed = juce::parseXML (file);
    ASSERT_NE (parsed, nullptr);
    ASSERT_EQ (parsed->getNumAttributes(), 68);
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ (parsed->getAttributeName (4 + i), parameterAttributes[i]);

    TestProcessor target;
    target->loadPresetFile (file);
    EXPECT_EQ (snapshotOf (*target).values, snapshotOf (*source).values);
    EXPECT_EQ (target->presetName, "Saved");
}

TEST (HostState, BadEnvelopesApplyNothing)
{
    juce::Random random (17);
    TestProcessor source;
    setDistinctValues (*source, random);
    source->presetName = "Source";
    const auto good = stateOf (*source);
    const auto goodText = juce::String::fromUTF8 (static_cast<const char*> (good.getData()) + 8, (int) good.getSize() - 9);

    TestProcessor p;
    setDistinctValues (*p, random);
    const auto before = snapshotOf (*p);

    auto expectNothingApplied = [&] (const juce::MemoryBlock& block, const char* what)
    {
        const auto stampBefore = p->lastStateLoadTime = juce::Time::getMillisecondCounter() - 5000u;
        apply (*p, block);
        EXPECT_TRUE (snapshotOf (*p) == before) << what;
        EXPECT_NE (p->lastStateLoadTime, stampBefore) << what;
    };

    expectNothingApplied (juce::MemoryBlock (good.getData(), 8), "header only");
    expectNothingApplied (juce::MemoryBlock (good.getData(), 5), "five bytes");
    expectNothingApplied (juce::MemoryBlock(), "empty");

    auto wrongMagic = good;
    static_cast<char*> (wrongMagic.getData())[3] = 'x';
    expectNothingApplied (wrongMagic, "wrong magic");

    expectNothingApplied (envelope (goodText, 0), "zero length");
    expectNothingApplied (envelope (goodText, 0x80000010), "negative length");
    expectNothingApplied (envelope ("<?xml version=\"1.0\"?> <Brindlex_Preset Wet=\"0.1\""), "unparsable text");
    expectNothingApplied (envelope ("plain words"), "no xml");
    expectNothingApplied (envelope ("<Other Wet=\"0.1\"/>"), "foreign root");

    auto notUtf8 = stateOf (*source);
    auto* bytes = static_cast<unsigned char*> (notUtf8.getData());
    bytes[notUtf8.getSize() - 12] = 0xff;
    expectNothingApplied (notUtf8, "text that is not UTF-8");

    p->setStateInformation (nullptr, 100);
    EXPECT_TRUE (snapshotOf (*p) == before);
}

TEST (HostState, LengthFieldLargerThanTheDataReadsToTheEnd)
{
    TestProcessor p;
    const juce::String text ("<Brindlex_Preset presetName=\"Long\" Wet=\"0.125\"/>");
    auto block = envelope (text, (juce::int64) text.getNumBytesAsUTF8() + 4);
    block.setSize (block.getSize() - 1);   // no trailing zero either
    apply (*p, block);
    EXPECT_EQ (p->presetName, "Long");
    EXPECT_FLOAT_EQ (p->getParameters()[wetIndex]->getValue(), 0.125f);
}

TEST (HostState, FuzzedAndTruncatedEnvelopesNeverCrashOrLeaveTheRange)
{
    juce::Random random (424242);
    TestProcessor source;
    setDistinctValues (*source, random);
    const auto good = stateOf (*source);

    TestProcessor p;
    setDistinctValues (*p, random);
    const auto before = snapshotOf (*p);

    // Every truncation that cuts into the text leaves the instance untouched.
    for (size_t length = 0; length + 1 < good.getSize(); ++length)
    {
        p->setStateInformation (good.getData(), (int) length);
        ASSERT_TRUE (snapshotOf (*p) == before) << "length " << length;
    }

    auto expectSane = [&p] (const char* what, int round)
    {
        for (auto* parameter : p->getParameters())
        {
            const float v = parameter->getValue();
            ASSERT_TRUE (std::isfinite (v) && v >= 0.0f && v <= 1.0f) << what << " round " << round;
        }
    };

    for (int round = 0; round < 5000; ++round)
    {
        // Random bytes, sometimes behind a valid magic and a plausible length.
        juce::MemoryBlock block ((size_t) random.nextInt (600));
        for (size_t i = 0; i < block.getSize(); ++i)
            block[i] = (char) random.nextInt (256);
        if (block.getSize() >= 8 && random.nextBool())
        {
            std::memcpy (block.getData(), "VC2!", 4);
            const auto length = (juce::uint32) random.nextInt (800);
            for (int b = 0; b < 4; ++b)
                block[(size_t) (4 + b)] = (char) (length >> (8 * b));
        }
        apply (*p, block);
        expectSane ("random", round);

        // A valid state with a few bytes changed and a random cut.
        auto mutated = good;
        for (int n = random.nextInt ({ 1, 6 }); --n >= 0;)
            mutated[(size_t) random.nextInt ((int) mutated.getSize())] = (char) random.nextInt (256);
        p->setStateInformation (mutated.getData(), random.nextInt ({ 0, (int) mutated.getSize() + 1 }));
        expectSane ("mutated", round);

        // Text mangled at the character level: digits and quotes swapped for others.
        auto text = juce::String::fromUTF8 (static_cast<const char*> (good.getData()) + 8, (int) good.getSize() - 9);
        const int pos = random.nextInt (text.length());
        const char* replacements[] = { "\"", "-", "e99", "nan", "<", "/>", "=", " ", "\xc3\xa9", "1e-400" };
        text = text.replaceSection (pos, random.nextInt (4), juce::String::fromUTF8 (replacements[random.nextInt (10)]));
        apply (*p, envelope (text));
        expectSane ("mangled", round);
    }
}
