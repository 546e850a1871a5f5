#include "registry/win32/NamedMutexChange.h"

#include <windows.h>

#include <stdexcept>
#include <string>

#include "platform/win32/SystemMessage.h"

namespace pw {
namespace {

// A change takes well under a second; a holder that keeps it for a minute is hung.
constexpr DWORD kLongestWaitMs = 60000;

class HeldMutex {
public:
    explicit HeldMutex(HANDLE mutex) : mutex_(mutex) {}
    ~HeldMutex() {
        ReleaseMutex(mutex_);
        CloseHandle(mutex_);
    }
    HeldMutex(const HeldMutex&) = delete;
    HeldMutex& operator=(const HeldMutex&) = delete;

private:
    HANDLE mutex_;
};

}  // namespace

void NamedMutexChange::Run(const std::function<void()>& step) {
    HANDLE mutex = CreateMutexA(nullptr, FALSE, kGlobalName);
    if (mutex == nullptr && GetLastError() == ERROR_ACCESS_DENIED)
        mutex = CreateMutexA(nullptr, FALSE, kLocalName);
    if (mutex == nullptr) {
        throw std::runtime_error("Cannot make the change alone: the mutex " + std::string(kGlobalName) +
                                 " cannot be created: " + SystemMessage(GetLastError()) +
                                 ". Nothing was changed.");
    }
    // An abandoned mutex (its holder ended mid-change) is ours now: the
    // registry holds whatever that holder's last call left, as it would without one.
    const DWORD waited = WaitForSingleObject(mutex, kLongestWaitMs);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        CloseHandle(mutex);
        throw std::runtime_error("Another Portwright program has been changing the registry for more than " +
                                 std::to_string(kLongestWaitMs / 1000) +
                                 " seconds; nothing was changed. Wait until it is done and try again.");
    }
    HeldMutex held(mutex);
    step();
}

}  // namespace pw
