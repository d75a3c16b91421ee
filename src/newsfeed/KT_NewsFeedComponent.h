#pragma once

#include <functional>
#include <juce_gui_basics/juce_gui_basics.h>

#include "NewsItem.h"

namespace corvantis
{

/** The news bell in the editor: a bell glyph with a red badge counting the unread items. A press opens a menu of the
    news items; choosing one opens its page in the web browser. Two seconds after a menu with news items opened,
    menuSeen is raised for the editor, which then stores every item as read. The editor fills in the items, states
    and badge count. */
class KT_NewsFeedComponent : public juce::Component,
                             public juce::Timer
{
public:
    explicit KT_NewsFeedComponent (juce::Colour bellColour);

    /** Closes a news menu that is still open, so that none outlives the bell. */
    ~KT_NewsFeedComponent() override;

    void mouseDown (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;
    void resized() override;
    void timerCallback() override;

    /** Shows the news menu without blocking and, when it holds news items, starts the 2 s wait for menuSeen. */
    void showNewsMenu();

    /** The menu of the current items, as showNewsMenu shows it. */
    juce::PopupMenu createNewsMenu() const;

    /** Opens the page of the chosen item; 0 (dismissed), the "No news to display" entry and an item whose address
        is not a plain web address do nothing. */
    void newsMenuCallback (int result);

    /** The unread marker of a general item: a blue dot of 8 by 8 units. */
    static juce::Image createDotIcon (float scaleX, float scaleY);

    /** The marker of an item for this plug-in: a five-pointed star of 15 by 15 units. */
    static juce::Image createStarIcon (float scaleX, float scaleY);

    /** The red square with the number of unread items; it draws nothing while the count is 0. */
    class notificationIcon : public juce::Component
    {
    public:
        notificationIcon() = default;
        ~notificationIcon() override = default;

        void paint (juce::Graphics&) override;
        void resized() override {}

        int unreadBadgeCount = 0;

    private:
        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (notificationIcon)
    };

    NewsItemArray newsItems;
    juce::Array<StoredNewsState> storedStates;
    juce::Colour iconColour;
    float scaleX = 1.0f;
    float scaleY = 1.0f;
    bool menuSeen = false;
    notificationIcon badge;

    /** Opens a page in the system's web browser; tests replace it so that no browser starts. */
    std::function<void (const juce::URL&)> openPage = [] (const juce::URL& page) { page.launchInDefaultBrowser(); };

private:
    bool menuOpen = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KT_NewsFeedComponent)
};

} // namespace corvantis
