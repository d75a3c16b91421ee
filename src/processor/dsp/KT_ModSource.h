#pragma once

#include <juce_core/juce_core.h>

namespace corvantis
{

/** Base of the modulation sources: something that advances once per sample and offers a value. */
class KT_ModSource
{
public:
    KT_ModSource() = default;
    virtual ~KT_ModSource() = default;

    virtual void tick() {}
    virtual void tick (float) {}
    virtual float getValue() { return 0.0f; }

    juce::String name;

private:
    JUCE_DECLARE_NON_COPYABLE (KT_ModSource)
};

} // namespace corvantis
