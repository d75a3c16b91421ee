#include "KT_NewsFeedComponent.h"

#include <cmath>

#include "widgets/BrindlexResources.h"

namespace corvantis
{

namespace
{
    const juce::Colour readItemColour (0xFFACACAC);
    const juce::Colour dotColour (0xFF42A2C8);
    const juce::Colour starColour (0xFFC8C842);
    const juce::Colour badgeColour (0xFFB22C2C);
    constexpr juce::juce_wchar bellGlyph = 0xF0A2;
    constexpr int menuSeenDelayMs = 2000;

    /** The address comes from the news service and the system's browser launch hands it to a shell inside double
        quotes: only a web address of plain printable characters, none that such a shell would expand, is opened. */
    bool isSafeWebAddress (const juce::String& address)
    {
        if (! (address.startsWithIgnoreCase ("https://") || address.startsWithIgnoreCase ("http://")))
            return false;

        for (auto c : address)
            if (c <= 0x20 || c >= 0x7f || c == '"' || c == '$' || c == '`' || c == '\\')
                return false;

        return true;
    }
}

KT_NewsFeedComponent::KT_NewsFeedComponent (juce::Colour bellColour)
    : iconColour (bellColour)
{
    addAndMakeVisible (badge);
}

KT_NewsFeedComponent::~KT_NewsFeedComponent()
{
    stopTimer();

    // The menu draws with the editor's look-and-feel, which goes with the editor: close it now. Its result then
    // arrives after the bell is gone and is ignored.
    if (menuOpen)
        juce::PopupMenu::dismissAllActiveMenus();
}

void KT_NewsFeedComponent::mouseDown (const juce::MouseEvent&)
{
    showNewsMenu();
}

void KT_NewsFeedComponent::paint (juce::Graphics& g)
{
    const auto height = juce::jlimit (0.1f, 10000.0f, 12.0f * scaleX);
    g.setFont (juce::Font (BrindlexResources::getIconTypeface()).withHeight (height));
    g.setColour (iconColour);
    g.drawFittedText (juce::String::charToString (bellGlyph), getLocalBounds(), juce::Justification::centred, 1);
}

void KT_NewsFeedComponent::resized()
{
    const auto side = juce::jmax (0, getWidth() / 3);
    badge.setBounds (getWidth() / 2, 4, side, side);
}

void KT_NewsFeedComponent::timerCallback()
{
    menuSeen = true;
    stopTimer();
}

juce::Image KT_NewsFeedComponent::createDotIcon (float sx, float sy)
{
    juce::Image icon (juce::Image::ARGB, juce::jmax (1, (int) (8.0f * sx)), juce::jmax (1, (int) (8.0f * sy)), true);
    juce::Graphics g (icon);
    g.setColour (dotColour);
    g.fillEllipse (icon.getBounds().toFloat());
    return icon;
}

juce::Image KT_NewsFeedComponent::createStarIcon (float sx, float sy)
{
    const int w = juce::jmax (1, (int) (15.0f * sx));
    const int h = juce::jmax (1, (int) (15.0f * sy));
    juce::Image icon (juce::Image::ARGB, w, h, true);

    // Both radii follow the height, so a stretched editor gives a taller star, not a wider one.
    const juce::Point<float> centre ((float) w * 0.5f, (float) h * 0.5f);
    const float outer = 0.45f * (float) h;
    const float inner = 0.2f * (float) h;

    juce::Path star;
    for (int k = 0; k < 10; ++k)
    {
        const float angle = juce::degreesToRadians (36.0f * (float) k);
        const float radius = (k % 2 == 0) ? outer : inner;
        const juce::Point<float> vertex (centre.x + radius * std::sin (angle), centre.y - radius * std::cos (angle));

        if (k == 0)
            star.startNewSubPath (vertex);
        else
            star.lineTo (vertex);
    }
    star.closeSubPath();

    juce::Graphics g (icon);
    g.setColour (starColour);
    g.fillPath (star);
    return icon;
}

juce::PopupMenu KT_NewsFeedComponent::createNewsMenu() const
{
    juce::PopupMenu menu;
    menu.setLookAndFeel (&getLookAndFeel());

    for (int i = 0; i < newsItems.size(); ++i)
    {
        const auto& item = newsItems.getReference (i);
        const auto* stored = std::find_if (storedStates.begin(), storedStates.end(),
                                           [&] (const StoredNewsState& s) { return s.newsID == item.newsID; });

        if (stored != storedStates.end() && stored->newsRead && ! item.isForThisPlugin)
        {
            menu.addColouredItem (i + 1, item.title, readItemColour, true, false, juce::Image());
            continue;
        }

        const auto icon = item.isForThisPlugin ? createStarIcon (scaleX, scaleY) : createDotIcon (scaleX, scaleY);
        menu.addItem (i + 1, item.title, true, false, icon);
    }

    if (newsItems.isEmpty())
        menu.addItem (1, "No news to display", true, false);

    return menu;
}

void KT_NewsFeedComponent::showNewsMenu()
{
    const auto options = juce::PopupMenu::Options()
                             .withTargetComponent (this)
                             .withStandardItemHeight ((int) (30.0f * scaleY));

    // The bell may be gone when the menu's result arrives (its window was closed with the menu open).
    menuOpen = true;
    createNewsMenu().showMenuAsync (options, [bell = juce::Component::SafePointer<KT_NewsFeedComponent> (this)] (int result)
    {
        if (bell != nullptr)
        {
            bell->menuOpen = false;
            bell->newsMenuCallback (result);
        }
    });

    // Only a menu that shows the news counts as seen: one opened before they arrived says "No news to display".
    if (! newsItems.isEmpty())
        startTimer (menuSeenDelayMs);
}

void KT_NewsFeedComponent::newsMenuCallback (int result)
{
    if (result < 1 || result > newsItems.size())
        return;

    const auto& address = newsItems.getReference (result - 1).url;

    // Parsed, the address would have its query re-encoded and its fragment dropped: it is opened as given.
    if (isSafeWebAddress (address))
        openPage (juce::URL::createWithoutParsing (address));
}

void KT_NewsFeedComponent::notificationIcon::paint (juce::Graphics& g)
{
    if (unreadBadgeCount <= 0)
        return;

    const int w = getWidth();
    const int h = getHeight();

    g.setColour (badgeColour);
    g.fillRoundedRectangle (1.0f, 1.0f, (float) juce::jmax (0, w - 2), (float) juce::jmax (0, h - 2), 2.0f);

    g.setColour (juce::Colours::white);
    g.drawFittedText (juce::String (unreadBadgeCount), 3, 3, juce::jmax (0, w - 6), juce::jmax (0, h - 6),
                      juce::Justification::centred, 1);
}

} // namespace corvantis
