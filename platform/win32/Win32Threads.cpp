// CreateThread, critical sections and events: all there on NT 5.2, unlike
// SRW locks and condition variables (Vista).
#include <windows.h>

#include <atomic>
#include <cstdio>

#include "platform/Threads.h"

namespace pw {
namespace {

std::atomic<std::size_t> running{0};

// Room enough for a command's calls; 200 threads then reserve 100 MB of a
// 32-bit process's 2 GB.
constexpr SIZE_T kStackReservation = 512 * 1024;

DWORD WINAPI RunWork(LPVOID parameter) {
    // Counted until what the work holds is gone too.
    std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(parameter));
    (*work)();
    work.reset();
    --running;
    return 0;
}

}  // namespace

struct Mutex::State {
    CRITICAL_SECTION section;
};

Mutex::Mutex() : state_(std::make_unique<State>()) { InitializeCriticalSection(&state_->section); }
Mutex::~Mutex() { DeleteCriticalSection(&state_->section); }
void Mutex::Lock() { EnterCriticalSection(&state_->section); }
void Mutex::Unlock() { LeaveCriticalSection(&state_->section); }

struct Signal::State {
    HANDLE event = nullptr;
};

// Auto-reset: a Wait that returns takes the signal with it.
Signal::Signal() : state_(std::make_unique<State>()) {
    state_->event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
}
Signal::~Signal() {
    if (state_->event != nullptr) CloseHandle(state_->event);
}
void Signal::Set() { SetEvent(state_->event); }
bool Signal::Wait(std::uint32_t milliseconds) {
    return WaitForSingleObject(state_->event, milliseconds) == WAIT_OBJECT_0;
}

bool StartDetachedThread(std::function<void()> work) {
    auto* parameter = new std::function<void()>(std::move(work));
    ++running;
    const HANDLE thread = CreateThread(nullptr, kStackReservation, &RunWork, parameter,
                                       STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (thread == nullptr) {
        --running;
        delete parameter;
        return false;
    }
    CloseHandle(thread);
    return true;
}

std::size_t ThreadsStillRunning() { return running.load(); }

std::uint64_t MonotonicMilliseconds() {
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<std::uint64_t>(now.QuadPart / (frequency.QuadPart / 1000));
}

void SleepMilliseconds(std::uint32_t milliseconds) { Sleep(milliseconds); }

// TerminateProcess, not ExitProcess: the latter runs the DLLs' detach code,
// which may wait on a lock that a thread left behind holds.
void ExitNow(int code) {
    std::fflush(stdout);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(code));
    ExitProcess(static_cast<UINT>(code));
}

}  // namespace pw
