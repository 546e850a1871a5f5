#include "tests/app/LocalMachineRedirect.h"

#include <stdexcept>
#include <string>

namespace pw::test {

LocalMachineRedirect::LocalMachineRedirect(RegistryApi& inner, std::int32_t root, const Text& keyPath)
    : inner_(inner) {
    const std::string path = ToAnsi(keyPath);
    const RegStatus status = inner_.RegCreateKeyExA(RootHandle(root), path.c_str(), 0, nullptr,
                                                    kRegOptionNonVolatile, regaccess::AllAccess,
                                                    nullptr, &localMachine_, nullptr);
    if (status != regerr::Success) {
        throw std::runtime_error("Cannot open the sandbox key " + path + " (error " +
                                 std::to_string(status) + "). " + inner_.DescribeLastFailure());
    }
}

LocalMachineRedirect::~LocalMachineRedirect() { inner_.RegCloseKey(localMachine_); }

RegStatus LocalMachineRedirect::RegCreateKeyExA(RegHandle key, const char* subKey, Dword reserved,
                                                const char* className, Dword options, Dword samDesired,
                                                const SecurityAttributes* security, RegHandle* result,
                                                Dword* disposition) {
    return inner_.RegCreateKeyExA(Redirect(key), subKey, reserved, className, options, samDesired,
                                  security, result, disposition);
}

RegStatus LocalMachineRedirect::RegCloseKey(RegHandle key) {
    // Closing a predefined key is a no-op on Windows; the sandbox key stays ours.
    if (key == RootHandle(kLocalMachine32)) return regerr::Success;
    return inner_.RegCloseKey(key);
}

RegStatus LocalMachineRedirect::RegQueryInfoKeyA(RegHandle key, char* className, Dword* classLen,
                                                 Dword* reserved, Dword* subKeys, Dword* maxSubKeyLen,
                                                 Dword* maxClassLen, Dword* values,
                                                 Dword* maxValueNameLen, Dword* maxValueLen,
                                                 Dword* securityDescriptorLen, FileTime* lastWriteTime) {
    return inner_.RegQueryInfoKeyA(Redirect(key), className, classLen, reserved, subKeys, maxSubKeyLen,
                                   maxClassLen, values, maxValueNameLen, maxValueLen,
                                   securityDescriptorLen, lastWriteTime);
}

RegStatus LocalMachineRedirect::RegEnumValueA(RegHandle key, Dword index, char* valueName,
                                              Dword* valueNameLen, Dword* reserved, Dword* type,
                                              std::uint8_t* data, Dword* dataLen) {
    return inner_.RegEnumValueA(Redirect(key), index, valueName, valueNameLen, reserved, type, data, dataLen);
}

RegStatus LocalMachineRedirect::RegQueryValueExA(RegHandle key, const char* valueName, Dword* reserved,
                                                 Dword* type, std::uint8_t* data, Dword* dataLen) {
    return inner_.RegQueryValueExA(Redirect(key), valueName, reserved, type, data, dataLen);
}

RegStatus LocalMachineRedirect::RegSetValueExA(RegHandle key, const char* valueName, Dword reserved,
                                               Dword type, const std::uint8_t* data, Dword dataLen) {
    return inner_.RegSetValueExA(Redirect(key), valueName, reserved, type, data, dataLen);
}

RegStatus LocalMachineRedirect::RegEnumKeyExA(RegHandle key, Dword index, char* name, Dword* nameLen,
                                              Dword* reserved, char* className, Dword* classLen,
                                              FileTime* lastWriteTime) {
    return inner_.RegEnumKeyExA(Redirect(key), index, name, nameLen, reserved, className, classLen,
                                lastWriteTime);
}

RegStatus LocalMachineRedirect::RegDeleteValueA(RegHandle key, const char* valueName) {
    return inner_.RegDeleteValueA(Redirect(key), valueName);
}

RegStatus LocalMachineRedirect::RegDeleteKeyA(RegHandle key, const char* subKey) {
    return inner_.RegDeleteKeyA(Redirect(key), subKey);
}

RegStatus LocalMachineRedirect::SHDeleteKeyA(RegHandle key, const char* subKey) {
    return inner_.SHDeleteKeyA(Redirect(key), subKey);
}

}  // namespace pw::test
