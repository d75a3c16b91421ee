// The editor's refresh timer: parameters, choices, locks and news pulled into the controls.

#include "BrindlexAudioProcessorEditor.h"
#include "EditorGlyphs.h"

using namespace EditorControlTable;

void BrindlexAudioProcessorEditor::timerCallback()
{
    releaseUnlockAllRequest();

    for (int i = knobList.size(); --i >= 0;)
        audioProcessor.parameterLocks[(size_t) knobList[i]->paramIndex].store (knobList[i]->locked, std::memory_order_relaxed);
    for (int i = sliderList.size(); --i >= 0;)
        audioProcessor.parameterLocks[(size_t) sliderList[i]->paramIndex].store (sliderList[i]->locked, std::memory_order_relaxed);

    handOverNews();
    followHostState();

    versionLabel.setText (EditorGlyphs::versionCaption(), juce::dontSendNotification);

    const auto show = [this] (int slot)
    {
        sliders[(size_t) slot]->setValue ((double) sliderParameters[(size_t) slot]->getValue(), juce::dontSendNotification);
    };
    const auto showTaps = [&show] (int channel)
    {
        for (const int first : { (int) firstTapTime, (int) firstTapMod, (int) firstTapPan, (int) firstTapLevel })
            for (int tap = 1; tap <= 3; ++tap)
                show (tapSlot (first, channel, tap));
    };
    // The boxes show their parameters as the working values take them, not the working values themselves: those
    // follow only while audio runs, and the left time range has none before the first block.
    const auto select = [] (juce::ComboBox& box, int index) { box.setSelectedId (index + 1, juce::dontSendNotification); };

    for (int slot = inputKnob; slot <= driveKnob; ++slot)
        show (slot);

    select (timeRangeLeftMenu, audioProcessor.timeRangeChoice (0));
    showTaps (0);
    select (timeRangeRightMenu, audioProcessor.timeRangeChoice (1));
    showTaps (1);

    select (fbkModeLeftMenu, audioProcessor.feedbackModeChoice (0));
    select (fbkModeRightMenu, audioProcessor.feedbackModeChoice (1));
    for (int slot = fbkTimeLeft; slot <= lowDampLeft + 1; ++slot)
        show (slot);

    select (lfoShapeLeftMenu, audioProcessor.lfoShapeChoice (0));
    select (lfoShapeRightMenu, audioProcessor.lfoShapeChoice (1));
    show (rateLeft);
    show (rateLeft + 1);

    for (int slot = 0; slot <= loopToggle; ++slot)
        toggleButtons[(size_t) slot]->setToggleState (toggleParameters[(size_t) slot]->getValue() != 0.0f,
                                                      juce::dontSendNotification);

    const bool looping = toggleButtons[loopToggle]->getToggleState();
    sliders[speedKnob]->setVisible (looping);
    show (speedKnob);
    speedLabel.setVisible (looping);

    toggleButtons[reverseToggle]->setVisible (looping);
    toggleButtons[reverseToggle]->setToggleState (toggleParameters[reverseToggle]->getValue() != 0.0f,
                                                  juce::dontSendNotification);
    reverseLabel.setVisible (looping);
}

/** Gives the bell the news once it is ready, and stores every item as read once the news menu has been seen with
    them in it; each happens once per editor. */
void BrindlexAudioProcessorEditor::handOverNews()
{
    auto& news = audioProcessor.newsProcessor;

    if (news.newsReady && ! newsDelivered)
    {
        newsView->newsItems = news.newsItems;
        newsView->repaint();
        newsView->badge.unreadBadgeCount = news.unreadCount;
        newsView->badge.repaint();
        newsView->repaint();
        newsDelivered = true;
        newsView->storedStates = news.storedStates;
    }

    if (newsView->menuSeen && ! newsReadStored)
    {
        if (news.hasUnread)
        {
            const juce::ScopedLock sl (news.newsLock);

            auto readItems = news.newsItems;
            for (auto& item : readItems)
                item.newsRead = true;

            news.writeNewsfeedFile (readItems);
            news.hasUnread = false;
            news.loadNewsfeedFile();
            news.updateUnreadState (false);
        }

        newsView->badge.unreadBadgeCount = news.unreadCount;
        newsView->badge.repaint();
        newsView->repaint();
        newsReadStored = true;
        newsView->storedStates = news.storedStates;
        repaint();
    }
}

void BrindlexAudioProcessorEditor::releaseUnlockAllRequest()
{
    bool requested = false;
    for (auto* knob : knobList)
        requested = requested || knob->unlockAllRequested;

    if (! requested)
        return;

    // "Unlock All" from any knob clears every lock; lowering the request lets the item work again.
    for (auto* knob : knobList)
    {
        knob->locked = false;
        knob->unlockAllRequested = false;
    }
    for (auto* slider : sliderList)
        slider->locked = false;
}
