#include "KT_NewAboutComponent.h"

namespace corvantis
{
    KT_NewAboutComponent::KT_NewAboutComponent()
    {
        aboutGUI.setLookAndFeel (&panelLookAndFeel);
        addAndMakeVisible (aboutGUI);
        aboutGUI.setSize (panelWidth, panelHeight);
    }

    KT_NewAboutComponent::~KT_NewAboutComponent()
    {
        aboutGUI.setLookAndFeel (nullptr);
    }

    void KT_NewAboutComponent::paint (juce::Graphics& g)
    {
        g.fillAll (juce::Colour (0x33000000));
    }

    void KT_NewAboutComponent::resized()
    {
        aboutGUI.centreWithSize (panelWidth, panelHeight);
    }
}
