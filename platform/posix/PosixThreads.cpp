#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/Threads.h"

namespace pw {
namespace {

std::atomic<std::size_t> running{0};

}  // namespace

struct Mutex::State {
    std::mutex mutex;
};

Mutex::Mutex() : state_(std::make_unique<State>()) {}
Mutex::~Mutex() = default;
void Mutex::Lock() { state_->mutex.lock(); }
void Mutex::Unlock() { state_->mutex.unlock(); }

struct Signal::State {
    std::mutex mutex;
    std::condition_variable changed;
    bool set = false;
};

Signal::Signal() : state_(std::make_unique<State>()) {}
Signal::~Signal() = default;

void Signal::Set() {
    {
        const std::lock_guard<std::mutex> lock(state_->mutex);
        state_->set = true;
    }
    state_->changed.notify_one();
}

bool Signal::Wait(std::uint32_t milliseconds) {
    std::unique_lock<std::mutex> lock(state_->mutex);
    const bool set = state_->changed.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                              [this] { return state_->set; });
    state_->set = false;
    return set;
}

bool StartDetachedThread(std::function<void()> work) {
    ++running;
    try {
        std::thread([work = std::move(work)]() mutable {
            // Counted until what the work holds is gone too.
            std::function<void()>(std::move(work))();
            --running;
        }).detach();
        return true;
    } catch (const std::system_error&) {
        --running;
        return false;
    }
}

std::size_t ThreadsStillRunning() { return running.load(); }

std::uint64_t MonotonicMilliseconds() {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
}

void SleepMilliseconds(std::uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void ExitNow(int code) {
    std::fflush(stdout);
    std::fflush(stderr);
    _exit(code);
}

}  // namespace pw
