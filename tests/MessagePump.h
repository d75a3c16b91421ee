#pragma once

#include <juce_events/juce_events.h>

namespace juce
{
// The framework's own dispatch step (its Linux message loop); the plug-in is built without modal loops, so the
// framework's runDispatchLoopUntil is not there for the tests to call.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
}

/** Delivers the message thread's pending messages, timers and asynchronous calls for about `milliseconds`. */
inline void pumpMessages (int milliseconds)
{
    const auto end = juce::Time::currentTimeMillis() + milliseconds;

    do
    {
        if (! juce::dispatchNextMessageOnSystemQueue (true))
            juce::Thread::sleep (1);
    }
    while (juce::Time::currentTimeMillis() < end);
}
