// googletest's custom-port hook, found ahead of googletest's own (empty) one
// in the mingw-w64 cross build. The win32 thread model has no std::mutex or
// std::condition_variable, which googletest's Notification is built from; this
// Notification waits on an atomic flag instead. googletest uses it only to
// start the threads of its own thread tests.
#ifndef PORTWRIGHT_MINGW_GTEST_CUSTOM_PORT_H_
#define PORTWRIGHT_MINGW_GTEST_CUSTOM_PORT_H_

#include <atomic>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
public:
    Notification() = default;
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { notified_.store(true); }
    void WaitForNotification() {
        while (!notified_.load()) {
        }
    }

private:
    std::atomic<bool> notified_{false};
};

}  // namespace internal
}  // namespace testing

#endif  // PORTWRIGHT_MINGW_GTEST_CUSTOM_PORT_H_
