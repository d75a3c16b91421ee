#include "AudioThreadProbe.h"
#include <algorithm>
#include <cstddef>
#include <dlfcn.h>
#include <pthread.h>

// Initial-exec thread-locals of the program itself: reading them never allocates, so the hooks
// below may use them from inside malloc.
namespace
{
    thread_local bool watching = false;
    thread_local int allocatorCallCount = 0;
    thread_local int lockCount = 0;
    constexpr int maxLocksKept = 256;
    thread_local const void* lockedMutexes[maxLocksKept] {};

    inline void countAllocatorCall() noexcept
    {
        if (watching)
            ++allocatorCallCount;
    }

    inline void countLock (const void* mutex) noexcept
    {
        if (watching)
        {
            if (lockCount < maxLocksKept)
                lockedMutexes[lockCount] = mutex;
            ++lockCount;
        }
    }

    /** pthread's own function of that name, looked up at its first use (which may come before main,
        so no guarded static); threads racing here store the same pointer. */
    template <typename Function>
    Function next (Function& cached, const char* name)
    {
        if (cached == nullptr)
            cached = reinterpret_cast<Function> (dlsym (RTLD_NEXT, name));
        return cached;
    }

    using MutexFunction = int (*) (pthread_mutex_t*);
    using RwLockFunction = int (*) (pthread_rwlock_t*);
    MutexFunction nextMutexLock = nullptr, nextMutexTryLock = nullptr;
    RwLockFunction nextReadLock = nullptr, nextWriteLock = nullptr;
}

AudioThreadProbe::AudioThreadProbe()
{
    allocatorCallCount = 0;
    lockCount = 0;
    watching = true;
}

AudioThreadProbe::~AudioThreadProbe() { watching = false; }

int AudioThreadProbe::allocatorCalls() const noexcept { return allocatorCallCount; }
int AudioThreadProbe::locksTaken() const noexcept { return lockCount; }

const void* AudioThreadProbe::lockedMutex (int n) const noexcept
{
    return n >= 0 && n < std::min (lockCount, maxLocksKept) ? lockedMutexes[n] : nullptr;
}

// glibc's allocator entry points, which the definitions below forward to. operator new and delete
// reach the allocator through malloc and free, so they are counted too.
extern "C"
{
    void* __libc_malloc (size_t);
    void* __libc_calloc (size_t, size_t);
    void* __libc_realloc (void*, size_t);
    void* __libc_memalign (size_t, size_t);
    void __libc_free (void*);

    void* malloc (size_t size)
    {
        countAllocatorCall();
        return __libc_malloc (size);
    }

    void* calloc (size_t count, size_t size)
    {
        countAllocatorCall();
        return __libc_calloc (count, size);
    }

    void* realloc (void* pointer, size_t size)
    {
        countAllocatorCall();
        return __libc_realloc (pointer, size);
    }

    void free (void* pointer)
    {
        if (pointer != nullptr)
            countAllocatorCall();
        __libc_free (pointer);
    }

    void* memalign (size_t alignment, size_t size)
    {
        countAllocatorCall();
        return __libc_memalign (alignment, size);
    }

    void* aligned_alloc (size_t alignment, size_t size)
    {
        countAllocatorCall();
        return __libc_memalign (alignment, size);
    }

    int posix_memalign (void** result, size_t alignment, size_t size)
    {
        countAllocatorCall();
        if (alignment % sizeof (void*) != 0 || (alignment & (alignment - 1)) != 0)
            return 22; // EINVAL
        *result = __libc_memalign (alignment, size);
        return *result != nullptr ? 0 : 12; // ENOMEM
    }

    int pthread_mutex_lock (pthread_mutex_t* mutex)
    {
        countLock (mutex);
        return next (nextMutexLock, "pthread_mutex_lock") (mutex);
    }

    int pthread_mutex_trylock (pthread_mutex_t* mutex)
    {
        countLock (mutex);
        return next (nextMutexTryLock, "pthread_mutex_trylock") (mutex);
    }

    int pthread_rwlock_rdlock (pthread_rwlock_t* lock)
    {
        countLock (lock);
        return next (nextReadLock, "pthread_rwlock_rdlock") (lock);
    }

    int pthread_rwlock_wrlock (pthread_rwlock_t* lock)
    {
        countLock (lock);
        return next (nextWriteLock, "pthread_rwlock_wrlock") (lock);
    }
}
