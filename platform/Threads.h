#pragma once
// Work that may never come back (a remote registry call cannot be cancelled)
// runs on a thread of its own, started detached, and hands its result back
// under a lock with a wake-up signal. Natively over std::thread; on Windows
// over CreateThread, a critical section and an event, which NT 5.2 has, as the
// win32 thread model of mingw-w64 has no std::thread, std::mutex or
// std::condition_variable (and winpthreads is not linked).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace pw {

class Mutex {
public:
    Mutex();
    ~Mutex();
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;
    void Lock();
    void Unlock();

private:
    struct State;
    std::unique_ptr<State> state_;
};

class Locked {
public:
    explicit Locked(Mutex& mutex) : mutex_(mutex) { mutex_.Lock(); }
    ~Locked() { mutex_.Unlock(); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

private:
    Mutex& mutex_;
};

// Set wakes one Wait, or the next one to come; it stays set until then.
class Signal {
public:
    Signal();
    ~Signal();
    Signal(const Signal&) = delete;
    Signal& operator=(const Signal&) = delete;
    void Set();
    // True when it was set, false when the time ran out first.
    bool Wait(std::uint32_t milliseconds);

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Runs work on a new thread that nobody joins; false when none could be
// started. Whatever work touches must outlive it: share it, never lend it.
bool StartDetachedThread(std::function<void()> work);
// Detached threads that have not finished yet.
std::size_t ThreadsStillRunning();

// Milliseconds from an arbitrary start, never going back.
std::uint64_t MonotonicMilliseconds();
void SleepMilliseconds(std::uint32_t milliseconds);

// Flushes standard output and error and ends the process with code, waiting
// on no thread and running no destructor (threads left behind may still be
// inside a call that uses them).
[[noreturn]] void ExitNow(int code);

}  // namespace pw
