#include "WidgetTestSupport.h"
#include "widgets/KT_ComboBox.h"
#include "widgets/KT_ResizableComboBox.h"

using namespace WidgetTest;

namespace
{
    const juce::KeyPress keys[] = { juce::KeyPress (juce::KeyPress::downKey), juce::KeyPress (juce::KeyPress::upKey),
                                    juce::KeyPress (juce::KeyPress::leftKey), juce::KeyPress (juce::KeyPress::rightKey),
                                    juce::KeyPress (juce::KeyPress::returnKey), juce::KeyPress (juce::KeyPress::spaceKey) };

    // Presses every key on the focused box through the window's peer, as the window system delivers it.
    void expectKeysIgnored (juce::ComboBox& box, DesktopWindow& window)
    {
        box.addItemList ({ "One", "Two", "Three" }, 1);
        box.setSelectedId (2, juce::dontSendNotification);
        box.setBounds (10, 10, 120, 30);
        window.addAndMakeVisible (box);
        ASSERT_TRUE (focus (box));

        auto* peer = window.getPeer();
        ASSERT_NE (peer, nullptr);

        for (auto& key : keys)
        {
            // Other test processes may share the display and take the focus away between keys.
            ASSERT_TRUE (focus (box));
            peer->handleKeyPress (key);
            pump (30);
            EXPECT_EQ (box.getSelectedId(), 2) << key.getTextDescription();
            EXPECT_FALSE (box.isPopupActive()) << key.getTextDescription();
        }

        // Every key went on to the parent.
        EXPECT_EQ (window.received.size(), (int) std::size (keys));
    }
}

using ComboBoxKeys = MenuTest;

TEST_F (ComboBoxKeys, ResizableComboBoxIgnoresTheKeyboard)
{
    DesktopWindow window;
    corvantis::KT_ResizableComboBox box;
    expectKeysIgnored (box, window);
}

TEST_F (ComboBoxKeys, ComboBoxIgnoresTheKeyboard)
{
    DesktopWindow window;
    corvantis::KT_ComboBox box;
    expectKeysIgnored (box, window);
}

TEST_F (ComboBoxKeys, APlainComboBoxWouldStepThroughItsItems)
{
    // Guards the test above: the same key path does move a framework combo box.
    DesktopWindow window;
    juce::ComboBox box;
    box.addItemList ({ "One", "Two", "Three" }, 1);
    box.setSelectedId (2, juce::dontSendNotification);
    box.setBounds (10, 10, 120, 30);
    window.addAndMakeVisible (box);
    ASSERT_TRUE (focus (box));
    window.getPeer()->handleKeyPress (juce::KeyPress (juce::KeyPress::downKey));
    pump (30);
    EXPECT_EQ (box.getSelectedId(), 3);
}

TEST (ResizableComboBox, HoverTextReachesAndLeavesTheInfoLabel)
{
    corvantis::KT_ResizableComboBox box;
    box.setSize (100, 20);
    juce::Label info;
    info.setText ("previous", juce::dontSendNotification);

    // Without an info label hovering changes nothing.
    box.description = "LFO shape";
    box.mouseEnter (mouseEvent (box, { 10.0f, 10.0f }));
    box.mouseExit (mouseEvent (box, { 200.0f, 10.0f }));
    EXPECT_EQ (info.getText(), "previous");

    box.infoLabel = &info;
    box.mouseEnter (mouseEvent (box, { 10.0f, 10.0f }));
    EXPECT_EQ (info.getText(), "LFO shape");
    box.mouseExit (mouseEvent (box, { 200.0f, 10.0f }));
    EXPECT_EQ (info.getText(), juce::String());
}

TEST (ResizableComboBox, StartsUnnamedAndEmpty)
{
    corvantis::KT_ResizableComboBox box;
    corvantis::KT_ComboBox plain;
    EXPECT_EQ (box.getName(), juce::String());
    EXPECT_EQ (plain.getName(), juce::String());
    EXPECT_EQ (box.description, juce::String());
    EXPECT_EQ (box.infoLabel, nullptr);
    EXPECT_EQ (box.getNumItems(), 0);
}
