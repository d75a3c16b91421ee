#pragma once

/** Counts, on the calling thread only and only while a probe is alive, every call into the heap
    allocator and every mutex lock. The counting hooks replace the C allocator and pthread's mutex
    functions in this test program alone; the plug-in itself carries no hook. */
class AudioThreadProbe
{
public:
    AudioThreadProbe();
    ~AudioThreadProbe();

    int allocatorCalls() const noexcept;
    int locksTaken() const noexcept;

    /** The mutex taken by the nth lock (the first 256 are kept). */
    const void* lockedMutex (int n) const noexcept;

    AudioThreadProbe (const AudioThreadProbe&) = delete;
    AudioThreadProbe& operator= (const AudioThreadProbe&) = delete;
};
