#include "KT_InfoHover.h"

namespace corvantis
{
void KT_InfoHover::showDescription() const
{
    if (infoLabel != nullptr)
        infoLabel->setText (description, juce::dontSendNotification);
}

void KT_InfoHover::clearDescription() const
{
    if (infoLabel != nullptr)
        infoLabel->setText ({}, juce::dontSendNotification);
}
}
