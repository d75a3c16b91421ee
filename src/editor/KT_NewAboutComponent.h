#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include "KT_AboutGUI.h"

namespace corvantis
{
    /** The about overlay: a translucent dark layer over the whole editor with the about panel centred in it at
        a fixed size. While shown it takes every click, so no control of the editor reacts underneath. */
    class KT_NewAboutComponent : public juce::Component
    {
    public:
        KT_NewAboutComponent();
        ~KT_NewAboutComponent() override;

        void paint (juce::Graphics&) override;
        void resized() override;

    private:
        // The panel draws with the framework's plain look, not the editor's, whose label fonts go by name.
        juce::LookAndFeel_V4 panelLookAndFeel;

    public:
        KT_AboutGUI aboutGUI;
        juce::int32 panelWidth = 285;
        juce::int32 panelHeight = 340;

    private:
        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KT_NewAboutComponent)
    };
}
