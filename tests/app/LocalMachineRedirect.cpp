#include "tests/app/LocalMachineRedirect.h"

#include <stdexcept>
#include <string>

namespace pw::test {

LocalMachineRedirect::LocalMachineRedirect(RegistryApi& inner, std::int32_t root, const Text& keyPath)
    : ForwardingRegistry(inner) {
    const std::string path = ToAnsi(keyPath);
    const RegStatus status = inner.RegCreateKeyExA(RootHandle(root), path.c_str(), 0, nullptr,
                                                   kRegOptionNonVolatile, regaccess::AllAccess, nullptr,
                                                   &localMachine_, nullptr);
    if (status != regerr::Success) {
        throw std::runtime_error("Cannot open the sandbox key " + path + " (error " + std::to_string(status) +
                                 "). " + inner.DescribeLastFailure());
    }
}

LocalMachineRedirect::~LocalMachineRedirect() { Inner().RegCloseKey(localMachine_); }

RegStatus LocalMachineRedirect::RegCloseKey(RegHandle key) {
    // Closing a predefined key is a no-op on Windows; the sandbox key stays ours.
    if (key == RootHandle(kLocalMachine32)) return regerr::Success;
    return Inner().RegCloseKey(key);
}

}  // namespace pw::test
