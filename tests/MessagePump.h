#pragma once

#include <juce_events/juce_events.h>
#include <memory>

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

/** Delivers messages until `condition` holds or `timeOutMs` have passed; true when it holds. A slow machine under
    a sanitizer can need many times what a quiet one does, so callers give generous deadlines. */
template <typename Condition>
bool pumpUntil (Condition condition, int timeOutMs = 10000)
{
    for (const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) timeOutMs;
         ! condition() && juce::Time::getMillisecondCounter() < deadline;)
        pumpMessages (5);
    return condition();
}

/** Delivers messages until everything posted to the message thread before the call has been handled: the queue
    is first in, first out, so a call posted now arrives after them. */
inline bool pumpPosted (int timeOutMs = 10000)
{
    auto arrived = std::make_shared<bool> (false);
    juce::MessageManager::callAsync ([arrived] { *arrived = true; });
    return pumpUntil ([arrived] { return *arrived; }, timeOutMs);
}
