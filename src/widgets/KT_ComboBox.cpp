#include "KT_ComboBox.h"

namespace corvantis
{
KT_ComboBox::KT_ComboBox()
    : juce::ComboBox (juce::String())
{
}

bool KT_ComboBox::keyPressed (const juce::KeyPress&)
{
    return false;
}
}
