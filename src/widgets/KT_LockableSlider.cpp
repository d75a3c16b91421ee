#include "KT_LockableSlider.h"
#include "PopupMenuColours.h"

namespace corvantis
{
KT_LockableSlider::KT_LockableSlider (juce::AudioProcessorParameter* parameter, bool offersUnlockAllItem)
    : juce::Slider (juce::String()),
      paramIndex (parameter != nullptr ? parameter->getParameterIndex() : -1),
      offersUnlockAll (offersUnlockAllItem)
{
    setTextBoxStyle (juce::Slider::NoTextBox, true, 0, 0);
}

void KT_LockableSlider::useLookAndFeel (juce::LookAndFeel& lookAndFeel, juce::Colour background, juce::Colour fill)
{
    lookAndFeel.setColour (juce::Slider::textBoxOutlineColourId, juce::Colours::transparentBlack);
    setPopupMenuColours (lookAndFeel);
    lookAndFeel.setColour (juce::Slider::backgroundColourId, background);
    lookAndFeel.setColour (juce::Slider::rotarySliderFillColourId, fill);
    setLookAndFeel (&lookAndFeel);
}

void KT_LockableSlider::mouseEnter (const juce::MouseEvent& e)
{
    showDescription();
    juce::Slider::mouseEnter (e);
}

void KT_LockableSlider::mouseExit (const juce::MouseEvent& e)
{
    clearDescription();
    juce::Slider::mouseExit (e);
}

void KT_LockableSlider::mouseDown (const juce::MouseEvent& e)
{
    if (juce::ModifierKeys::getCurrentModifiers().isRightButtonDown())
    {
        showLockMenu();
        return;
    }

    juce::Slider::mouseDown (e);
}

juce::PopupMenu KT_LockableSlider::createLockMenu()
{
    juce::PopupMenu menu;
    menu.setLookAndFeel (&getLookAndFeel());
    menu.addItem (lockItemId, "Lock parameter", true, locked);

    if (offersUnlockAll)
        menu.addItem (unlockAllItemId, "Unlock All", true, false);

    return menu;
}

void KT_LockableSlider::showLockMenu()
{
    createLockMenu().showMenuAsync (juce::PopupMenu::Options().withTargetComponent (this),
                                    juce::ModalCallbackFunction::forComponent (lockMenuCallback, this));
}

void KT_LockableSlider::lockMenuCallback (int result, KT_LockableSlider* control)
{
    if (control == nullptr)
        return;

    if (result == lockItemId)
        control->locked = ! control->locked;
    else if (result == unlockAllItemId && control->offersUnlockAll)
        control->unlockAllRequested = true;
}
}
