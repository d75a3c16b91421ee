#include "MessagePump.h"
#include "EditorTestSupport.h"

using namespace EditorControlTable;

namespace
{
    struct Placement
    {
        const char* what;
        juce::Component* component;
        juce::Rectangle<int> bounds;
    };

    /** Every child with its place at 980 by 500. */
    std::vector<Placement> designPlacements (BrindlexAudioProcessorEditor& e)
    {
        auto& s = e.sliders;
        auto& t = e.toggleButtons;
        std::vector<Placement> p {
            { "aboutOverlay", &e.aboutOverlay, { 0, 0, 980, 500 } },
            { "logoMenu", &e.logoMenu, { 20, 12, 103, 29 } },
            { "presetMenu", &e.presetMenu, { 377, 8, 225, 27 } },
            { "prevButton", e.prevButton.get(), { 350, 8, 27, 27 } },
            { "nextButton", e.nextButton.get(), { 602, 8, 27, 27 } },
            { "saveButton", e.saveButton.get(), { 629, 8, 27, 27 } },
            { "delButton", e.delButton.get(), { 656, 8, 27, 27 } },
            { "reloadButton", e.reloadButton.get(), { 323, 8, 27, 27 } },
            { "randButton", e.randButton.get(), { 296, 8, 27, 27 } },
            { "newsView", e.newsView.get(), { 673, 2, 40, 40 } },
            { "version", &e.versionLabel, { 703, 8, 248, 27 } },
            { "title", &e.titleLabel, { 823, 60, 134, 18 } },
            { "sub-title", &e.subTitleLabel, { 823, 82, 128, 18 } },

            { "INPUT", &e.inputLabel, { 53, 62, 55, 12 } },
            { "DRIVE", &e.driveLabel, { 108, 62, 55, 12 } },
            { "LF CUT", &e.lfCutLabel, { 163, 62, 55, 12 } },
            { "HF CUT", &e.hfCutLabel, { 218, 62, 55, 12 } },
            { "DRY", &e.dryLabel, { 273, 62, 55, 12 } },
            { "WET", &e.wetLabel, { 328, 62, 55, 12 } },
            { "INPUT knob", s[inputKnob].get(), { 71, 77, 17, 17 } },
            { "DRIVE knob", s[driveKnob].get(), { 126, 77, 17, 17 } },
            { "LF CUT knob", s[lfCutKnob].get(), { 181, 77, 17, 17 } },
            { "HF CUT knob", s[hfCutKnob].get(), { 236, 77, 17, 17 } },
            { "DRY knob", s[dryKnob].get(), { 291, 77, 17, 17 } },
            { "WET knob", s[wetKnob].get(), { 346, 77, 17, 17 } },

            { "LEFT TAPS", &e.leftTapsLabel, { 0, 135, 245, 12 } },
            { "RIGHT TAPS", &e.rightTapsLabel, { 245, 135, 245, 12 } },
            { "FBK TAPS", &e.fbkTapsLabel, { 490, 135, 245, 12 } },
            { "LFO", &e.lfoLabel, { 735, 135, 245, 12 } },

            { "MODE", &e.modeLabel, { 495, 188, 55, 8 } },
            { "fbkModeLeftMenu", &e.fbkModeLeftMenu, { 551, 179, 124, 12 } },
            { "fbkModeRightMenu", &e.fbkModeRightMenu, { 551, 193, 124, 12 } },
            { "FBK TIME L", s[31].get(), { 551, 219, 124, 12 } },
            { "FBK TIME R", s[32].get(), { 551, 233, 124, 12 } },
            { "FBK TIME caption", &e.fbkTimeLabel, { 495, 228, 55, 8 } },
            { "fbkLeftSyncButton", t[fbkLeftSync].get(), { 685, 219, 12, 12 } },
            { "fbkRightSyncButton", t[fbkRightSync].get(), { 685, 233, 12, 12 } },
            { "FBK MOD L", s[33].get(), { 551, 259, 124, 12 } },
            { "FBK MOD R", s[34].get(), { 551, 273, 124, 12 } },
            { "FBK MOD caption", &e.fbkModLabel, { 495, 268, 55, 8 } },
            { "FBK LEVEL L", s[35].get(), { 551, 299, 124, 12 } },
            { "FBK LEVEL R", s[36].get(), { 551, 313, 124, 12 } },
            { "FBK LEVEL caption", &e.fbkLevelLabel, { 495, 308, 55, 8 } },
            { "FBK L", s[37].get(), { 551, 339, 124, 12 } },
            { "FBK R", s[38].get(), { 551, 353, 124, 12 } },
            { "FBK caption", &e.fbkLabel, { 495, 348, 55, 8 } },
            { "LOW DAMP L", s[41].get(), { 551, 379, 124, 12 } },
            { "LOW DAMP R", s[42].get(), { 551, 393, 124, 12 } },
            { "LOW DAMP caption", &e.lowDampLabel, { 495, 379, 55, 26 } },
            { "HI DAMP L", s[39].get(), { 551, 419, 124, 12 } },
            { "HI DAMP R", s[40].get(), { 551, 433, 124, 12 } },
            { "HI DAMP caption", &e.hiDampLabel, { 495, 419, 55, 26 } },

            { "lfoShapeLeftMenu", &e.lfoShapeLeftMenu, { 796, 179, 124, 12 } },
            { "lfoShapeRightMenu", &e.lfoShapeRightMenu, { 796, 193, 124, 12 } },
            { "SHAPE", &e.shapeLabel, { 740, 188, 55, 8 } },
            { "RATE L", s[43].get(), { 796, 219, 124, 12 } },
            { "RATE R", s[44].get(), { 796, 233, 124, 12 } },
            { "RATE caption", &e.rateLabel, { 740, 228, 55, 8 } },
            { "lfoRateLeftSyncButton", t[lfoLeftSync].get(), { 930, 219, 12, 12 } },
            { "lfoRateRightSyncButton", t[lfoRightSync].get(), { 930, 233, 12, 12 } },

            { "TOOLS", &e.toolsLabel, { 735, 299, 245, 12 } },
            { "linkButton", t[linkToggle].get(), { 817, 343, 20, 20 } },
            { "LINK", &e.linkLabel, { 762, 348, 55, 12 } },
            { "loopButton", t[loopToggle].get(), { 877, 343, 20, 20 } },
            { "LOOP", &e.loopLabel, { 897, 348, 55, 12 } },
            { "reverseButton", t[reverseToggle].get(), { 877, 379, 20, 20 } },
            { "REVERSE", &e.reverseLabel, { 897, 384, 55, 12 } },
            { "SPEED knob", s[speedKnob].get(), { 817, 379, 20, 20 } },
            { "SPEED", &e.speedLabel, { 762, 384, 55, 12 } },

            { "infoLabel", &e.infoLabel, { 0, 470, 980, 30 } },
            { "resetSizeButton", e.resetSizeButton.get(), { 20, 478, 16, 16 } },
            { "cornerResizer", e.cornerResizer.get(), { 968, 488, 12, 12 } },
        };

        // The two tap sections: the right one is the left one moved by 245.
        for (int channel = 0; channel < 2; ++channel)
        {
            const int c = channel * 245;
            const bool left = channel == 0;
            p.push_back ({ "time-range box", left ? &e.timeRangeLeftMenu : &e.timeRangeRightMenu, { c + 61, 179, 124, 12 } });
            p.push_back ({ "RANGE", left ? &e.leftRangeLabel : &e.rightRangeLabel, { c + 5, 182, 55, 8 } });
            p.push_back ({ "TIME", left ? &e.leftTimeLabel : &e.rightTimeLabel, { c + 5, 235, 55, 8 } });
            p.push_back ({ "MOD", left ? &e.leftModLabel : &e.rightModLabel, { c + 5, 289, 55, 8 } });
            p.push_back ({ "PAN", left ? &e.leftPanLabel : &e.rightPanLabel, { c + 5, 343, 55, 8 } });
            p.push_back ({ "LEVEL", left ? &e.leftLevelLabel : &e.rightLevelLabel, { c + 5, 397, 55, 8 } });

            const int timeY[] = { 219, 233, 247 }, modY[] = { 273, 287, 301 }, panY[] = { 327, 341, 355 },
                      levelY[] = { 381, 395, 409 };
            for (int tap = 1; tap <= 3; ++tap)
            {
                p.push_back ({ "tap time", s[(size_t) tapSlot (firstTapTime, channel, tap)].get(), { c + 61, timeY[tap - 1], 124, 12 } });
                p.push_back ({ "tap mod", s[(size_t) tapSlot (firstTapMod, channel, tap)].get(), { c + 61, modY[tap - 1], 124, 12 } });
                p.push_back ({ "tap pan", s[(size_t) tapSlot (firstTapPan, channel, tap)].get(), { c + 61, panY[tap - 1], 124, 12 } });
                p.push_back ({ "tap level", s[(size_t) tapSlot (firstTapLevel, channel, tap)].get(), { c + 61, levelY[tap - 1], 124, 12 } });
                p.push_back ({ "tap sync", t[(size_t) ((left ? leftSync1 : rightSync1) + tap - 1)].get(), { c + 195, timeY[tap - 1], 12, 12 } });
            }
        }

        return p;
    }

    juce::String glyphOf (juce::juce_wchar c) { return juce::String::charToString (c); }
}

TEST_F (EditorTest, OpensAtTheStoredSizeAndPlacesEveryChildOnTheDesignGrid)
{
    ASSERT_EQ (editor->getWidth(), 980);
    ASSERT_EQ (editor->getHeight(), 500);

    const auto placements = designPlacements (*editor);

    for (const auto& p : placements)
        EXPECT_EQ (p.component->getBounds(), p.bounds) << p.what;

    EXPECT_EQ (editor->resetSizeButton->getButtonText(), glyphOf (0xF05B));
    EXPECT_EQ (editor->editorLookAndFeel.uiScale, 1.0f);
}

TEST_F (EditorTest, AtTwiceTheDesignSizeEverythingDoublesUpToTruncation)
{
    editor->setSize (1960, 1000);

    EXPECT_EQ (editor->presetMenu.getBounds(), juce::Rectangle<int> (755, 16, 450, 54));
    EXPECT_EQ (editor->prevButton->getBounds(), juce::Rectangle<int> (701, 16, 54, 54));
    EXPECT_EQ (editor->resetSizeButton->getButtonText(), glyphOf (0xF066));
    EXPECT_EQ (editor->editorLookAndFeel.uiScale, 2.0f);

    for (const auto& p : designPlacements (*editor))
    {
        const auto b = p.component->getBounds();
        EXPECT_NEAR (b.getX(), 2 * p.bounds.getX(), 1) << p.what;
        EXPECT_NEAR (b.getY(), 2 * p.bounds.getY(), 1) << p.what;
        EXPECT_NEAR (b.getWidth(), 2 * p.bounds.getWidth(), 1) << p.what;
        EXPECT_NEAR (b.getHeight(), 2 * p.bounds.getHeight(), 1) << p.what;
    }
}

TEST_F (EditorTest, AtTheMinimumSizeTheGlyphShrinksAndTheScaleIsZero)
{
    editor->setSize (745, 380);

    EXPECT_EQ (editor->resetSizeButton->getButtonText(), glyphOf (0xF065));
    EXPECT_EQ (editor->editorLookAndFeel.uiScale, 0.0f);
    // 745 / 980 and 380 / 500 are both 0.76.
    EXPECT_EQ (editor->presetMenu.getBounds(), juce::Rectangle<int> (286, 6, 171, 20));
    EXPECT_EQ (editor->infoLabel.getBounds(), juce::Rectangle<int> (0, 357, 745, 22));

    // Each row is placed from the truncated position of the one before, so the truncations add up down a column:
    // the right high-damp slider lands at y 320, not at 0.76 x 433 = 329.
    EXPECT_EQ (editor->timeRangeRightMenu.getBounds(), juce::Rectangle<int> (232, 136, 94, 9));
    EXPECT_EQ (editor->sliders[(size_t) tapSlot (firstTapTime, 0, 1)]->getBounds(), juce::Rectangle<int> (46, 166, 94, 9));
    EXPECT_EQ (editor->sliders[fbkTimeLeft]->getBounds(), juce::Rectangle<int> (418, 165, 94, 9));
    EXPECT_EQ (editor->sliders[hiDampLeft + 1]->getBounds(), juce::Rectangle<int> (418, 320, 94, 9));
    EXPECT_EQ (editor->hiDampLabel.getBounds(), juce::Rectangle<int> (376, 310, 41, 19));
    EXPECT_EQ (editor->sliders[rateLeft + 1]->getBounds(), juce::Rectangle<int> (605, 175, 94, 9));
    EXPECT_EQ (editor->sliders[wetKnob]->getBounds(), juce::Rectangle<int> (258, 58, 12, 12));
    EXPECT_EQ (editor->toggleButtons[linkToggle]->getBounds(), juce::Rectangle<int> (620, 256, 15, 15));
    EXPECT_EQ (editor->toggleButtons[reverseToggle]->getBounds(), juce::Rectangle<int> (666, 281, 15, 15));
    EXPECT_EQ (editor->speedLabel.getBounds(), juce::Rectangle<int> (578, 284, 41, 9));
    EXPECT_EQ (editor->versionLabel.getBounds(), juce::Rectangle<int> (532, 6, 188, 20));
    EXPECT_EQ (editor->subTitleLabel.getBounds(), juce::Rectangle<int> (625, 61, 97, 13));
    EXPECT_EQ (editor->resetSizeButton->getBounds(), juce::Rectangle<int> (15, 363, 12, 12));
    EXPECT_EQ (editor->cornerResizer->getBounds(), juce::Rectangle<int> (735, 370, 9, 9));
}

TEST_F (EditorTest, TheStoredSizeFollowsEveryResizeAndTheResetButtonRestoresTheDesignSize)
{
    for (const auto& size : { juce::Point<int> (1470, 750), juce::Point<int> (745, 380), juce::Point<int> (1200, 612) })
    {
        editor->setSize (size.x, size.y);
        EXPECT_EQ (processor->currentWidth.load(), size.x);
        EXPECT_EQ (processor->currentHeight.load(), size.y);
    }

    editor->setSize (1470, 750);
    editor->resetSizeButton->triggerClick();
    pumpMessages (50);

    EXPECT_EQ (editor->getBounds().getWidth(), 980);
    EXPECT_EQ (editor->getBounds().getHeight(), 500);
    EXPECT_EQ (processor->currentWidth.load(), 980);
    EXPECT_EQ (processor->currentHeight.load(), 500);
}

TEST_F (EditorTest, TheCornerResizerKeepsTheAspectRatioAndTheMinimumSize)
{
    auto& limits = editor->sizeConstrainer;
    EXPECT_EQ (limits.getMinimumWidth(), 745);
    EXPECT_EQ (limits.getMinimumHeight(), 380);
    EXPECT_DOUBLE_EQ (limits.getFixedAspectRatio(), 1.96);

    if (const auto* display = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay())
    {
        EXPECT_EQ (limits.getMaximumWidth(), display->userArea.getWidth());
        EXPECT_EQ (limits.getMaximumHeight(), display->userArea.getHeight());
    }
}

TEST_F (EditorTest, DraggingTheCornerResizesAtTheFixedAspectRatioWithinTheLimits)
{
    showOnDesktop();
    MouseDriver mouse (*editor);
    const auto corner = MouseDriver::centreOf (*editor->cornerResizer);

    mouse.moveTo (corner);
    mouse.press (corner);
    mouse.dragTo (corner + juce::Point<float> (490.0f, 250.0f));
    mouse.release (corner + juce::Point<float> (490.0f, 250.0f));

    // 1.5 times the design size, unless the display's user area is smaller than that.
    const auto& limits = editor->sizeConstrainer;
    const int expectedWidth = juce::jmin (1470, limits.getMaximumWidth(), (int) (limits.getMaximumHeight() * 1.96));
    EXPECT_NEAR ((double) editor->getWidth() / (double) editor->getHeight(), 1.96, 0.01);
    EXPECT_NEAR (editor->getWidth(), expectedWidth, 2);
    EXPECT_EQ (processor->currentWidth.load(), editor->getWidth());
    EXPECT_EQ (processor->currentHeight.load(), editor->getHeight());

    const auto newCorner = MouseDriver::centreOf (*editor->cornerResizer);
    mouse.moveTo (newCorner);
    mouse.press (newCorner);
    mouse.dragTo (newCorner - juce::Point<float> (1000.0f, 600.0f));
    mouse.release (newCorner - juce::Point<float> (1000.0f, 600.0f));

    EXPECT_EQ (editor->getWidth(), 745);
    EXPECT_EQ (editor->getHeight(), 380);
    EXPECT_EQ (processor->currentWidth.load(), 745);
}

namespace
{
    /** The size of an editor opened on a processor that was given a host state saved with this size. */
    juce::Point<int> editorSizeAfterHostState (int savedWidth, int savedHeight, juce::Point<int>& storedAfterOpening)
    {
        juce::MemoryBlock state;
        {
            TestProcessor saved;
            saved->currentWidth = savedWidth;
            saved->currentHeight = savedHeight;
            saved->getStateInformation (state);
        }

        TestProcessor restored;
        restored->setStateInformation (state.getData(), (int) state.getSize());
        std::unique_ptr<juce::AudioProcessorEditor> editor (restored->createEditorIfNeeded());
        const juce::Point<int> size (editor->getWidth(), editor->getHeight());
        storedAfterOpening = { restored->currentWidth.load(), restored->currentHeight.load() };
        restored->editorBeingDeleted (editor.get());
        return size;
    }
}

TEST (EditorStateTest, AHostStateWithAnotherSizeOpensTheEditorAtThatSize)
{
    // Outside the corner handle's limits (smaller than the minimum, larger than this display) the size still holds.
    for (const auto size : { juce::Point<int> (800, 400), juce::Point<int> (600, 300), juce::Point<int> (4000, 2041) })
    {
        juce::Point<int> stored;
        EXPECT_EQ (editorSizeAfterHostState (size.x, size.y, stored), size);
        EXPECT_EQ (stored, size);
    }
}

TEST (EditorStateTest, AHostStateTooLargeForAnyWindowOpensTheEditorAtTheDesignSize)
{
    // A window this large cannot be given a backing image: the editor must not try to show it.
    for (const auto size : { juce::Point<int> (60000, 30000), juce::Point<int> (980, 100000) })
    {
        juce::Point<int> stored;
        EXPECT_EQ (editorSizeAfterHostState (size.x, size.y, stored), juce::Point<int> (980, 500));
        EXPECT_EQ (stored, juce::Point<int> (980, 500));
    }
}

TEST_F (EditorTest, EveryParameterHasExactlyOneControlWithItsDefaultOnDoubleClick)
{
    std::vector<int> controls (64, 0);

    for (size_t slot = 0; slot < editor->sliders.size(); ++slot)
    {
        auto* control = editor->sliders[slot].get();
        auto* parameter = editor->getParameterForSlider (control);
        ASSERT_NE (parameter, nullptr) << slot;
        ++controls[(size_t) parameter->getParameterIndex()];

        EXPECT_DOUBLE_EQ (control->getMinimum(), 0.0);
        EXPECT_DOUBLE_EQ (control->getMaximum(), 1.0);
        EXPECT_DOUBLE_EQ (control->getInterval(), slot == speedKnob ? (double) 0.005f : (double) 0.01f) << slot;
        EXPECT_TRUE (control->isDoubleClickReturnEnabled());
        EXPECT_DOUBLE_EQ (control->getDoubleClickReturnValue(), (double) parameter->getDefaultValue()) << slot;
    }

    const char* toggleIds[] = { "L1SYNC", "L2SYNC", "L3SYNC", "LFSYNC", "R1SYNC", "R2SYNC", "R3SYNC",
                                "RFSYNC", "LMSYNC", "RMSYNC", "LINK", "LOOP", "LPREV" };
    for (auto* id : toggleIds)
        ++controls[(size_t) parameter (id)->getParameterIndex()];
    for (auto* id : { "LTRANGE", "RTRANGE", "LFMODE", "RFMODE", "LMSHAPE", "RMSHAPE" })
        ++controls[(size_t) parameter (id)->getParameterIndex()];

    for (size_t i = 0; i < controls.size(); ++i)
        EXPECT_EQ (controls[i], 1) << processor->paramTable[i]->paramID;

    EXPECT_EQ (editor->knobList.size(), 7);
    EXPECT_EQ (editor->sliderList.size(), 38);
    EXPECT_EQ (editor->knobList.getLast(), editor->sliders[speedKnob].get());
}

TEST_F (EditorTest, ChoiceBoxesCarryTheirItemsNamesAndOutlines)
{
    const juce::StringArray ranges { "FULL", "5 ms", "25 ms", "100 ms", "500 ms", "1.0 s", "2.5 s" };
    const juce::StringArray shapes { "SINE", "COSINE", "TRIANGLE", "RAMP UP", "RAMP DOWN", "SQUARE",
                                     "SQR SMOOTH", "BLIP DOWN", "BLIP UP", "RND", "RND SMOOTH" };

    const auto itemsOf = [] (juce::ComboBox& box)
    {
        juce::StringArray items;
        for (int i = 0; i < box.getNumItems(); ++i)
        {
            EXPECT_EQ (box.getItemId (i), i + 1);
            items.add (box.getItemText (i));
        }
        return items;
    };

    EXPECT_EQ (itemsOf (editor->timeRangeLeftMenu), ranges);
    EXPECT_EQ (itemsOf (editor->timeRangeRightMenu), ranges);
    EXPECT_EQ (itemsOf (editor->fbkModeLeftMenu), juce::StringArray ({ "NORMAL", "CROSS" }));
    EXPECT_EQ (itemsOf (editor->lfoShapeRightMenu), shapes);

    EXPECT_EQ (editor->timeRangeLeftMenu.getName(), "timeRangeLeftMenu");
    EXPECT_EQ (editor->lfoShapeRightMenu.getName(), "lfoShapeRightMenu");
    EXPECT_EQ (editor->timeRangeRightMenu.findColour (juce::ComboBox::outlineColourId), juce::Colour (0x33e8e0cb));
    EXPECT_EQ (editor->fbkModeRightMenu.findColour (juce::ComboBox::outlineColourId), juce::Colour (0xff9b193f));
    EXPECT_EQ (editor->lfoShapeLeftMenu.findColour (juce::ComboBox::outlineColourId), juce::Colour (0xff6b1d44));
    EXPECT_EQ (editor->reloadButton->getName(), "reloadButton");
    EXPECT_EQ (editor->versionLabel.getName(), "brindlexVersion");
}
