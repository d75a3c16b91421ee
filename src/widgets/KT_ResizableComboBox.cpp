#include "KT_ResizableComboBox.h"

namespace corvantis
{
KT_ResizableComboBox::KT_ResizableComboBox()
    : juce::ComboBox (juce::String())
{
}

void KT_ResizableComboBox::mouseEnter (const juce::MouseEvent&)
{
    showDescription();
}

void KT_ResizableComboBox::mouseExit (const juce::MouseEvent&)
{
    clearDescription();
}

bool KT_ResizableComboBox::keyPressed (const juce::KeyPress&)
{
    return false;
}
}
