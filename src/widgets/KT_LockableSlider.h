#pragma once

#include "KT_InfoHover.h"
#include <juce_audio_processors/juce_audio_processors.h>

namespace corvantis
{
/** What the knob and the bar share: the hover text in the editor's info label, and a right click that opens the
    lock menu instead of moving the value. Range, value and listeners are the owner's. */
class KT_LockableSlider : public juce::Slider,
                          public KT_InfoHover
{
public:
    /** Menu item ids of the lock menu. */
    enum MenuItem
    {
        lockItemId = 1,
        unlockAllItemId = 2
    };

    /** `parameter` gives the index that the owner uses for its lock table (-1 without a parameter).
        With `offersUnlockAll` the menu has the "Unlock All" item too. */
    KT_LockableSlider (juce::AudioProcessorParameter* parameter, bool offersUnlockAll);
    ~KT_LockableSlider() override = default;

    void mouseEnter (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    void mouseDown (const juce::MouseEvent&) override;

    /** The right-click menu: "Lock parameter" (ticked while locked), then "Unlock All" where offered. */
    juce::PopupMenu createLockMenu();

    /** Shows the lock menu asynchronously; its result arrives in lockMenuCallback. */
    void showLockMenu();

    /** Applies a lock-menu result; `control` is null when it was deleted while its menu was open. */
    static void lockMenuCallback (int result, KT_LockableSlider* control);

    bool locked = false;
    /** Raised by "Unlock All". The control never lowers it: the editor, at its next refresh, clears the lock flag
        of every knob and slider and then lowers it, so that the item works again. */
    bool unlockAllRequested = false;
    const int paramIndex;

protected:
    /** Gives `lookAndFeel` the control's colours (the track or background disc in `background`, the value in
        `fill`) and the kit's popup-menu colours, and makes it the control's look-and-feel. */
    void useLookAndFeel (juce::LookAndFeel& lookAndFeel, juce::Colour background, juce::Colour fill);

private:
    const bool offersUnlockAll;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KT_LockableSlider)
};
}
