#include "WidgetTestSupport.h"
#include "widgets/KT_ComboBox.h"
#include "widgets/KT_ResizableComboBox.h"

using namespace WidgetTest;

using ComboBoxKeys = MenuTest;

TEST_F (ComboBoxKeys, BothBoxesIgnoreTheKeyboardAndPassEveryKeyOn)
{
    corvantis::KT_ResizableComboBox parameterBox;
    corvantis::KT_ComboBox logoBox;

    for (juce::ComboBox* box : std::initializer_list<juce::ComboBox*> { &parameterBox, &logoBox })
    {
        DesktopWindow window;
        box->addItemList ({ "One", "Two", "Three" }, 1);
        box->setSelectedId (2, juce::dontSendNotification);
        box->setBounds (10, 10, 120, 30);
        window.addAndMakeVisible (*box);
        const juce::KeyPress keys[] = { juce::KeyPress (juce::KeyPress::downKey), juce::KeyPress (juce::KeyPress::upKey),
                                        juce::KeyPress (juce::KeyPress::returnKey), juce::KeyPress (juce::KeyPress::spaceKey) };

        for (auto& key : keys)
        {
            // Other test processes may share the display and take the focus away between keys.
            ASSERT_TRUE (focus (*box));
            window.getPeer()->handleKeyPress (key);
            pump (30);
            EXPECT_EQ (box->getSelectedId(), 2) << key.getTextDescription();
            EXPECT_FALSE (box->isPopupActive()) << key.getTextDescription();
        }

        // Every key reached the window, so the path the keys took was the real one.
        EXPECT_EQ (window.received.size(), (int) std::size (keys));
        window.removeChildComponent (box);
    }
}
