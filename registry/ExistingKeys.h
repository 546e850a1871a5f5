#pragma once
// Keys opened for reading without creating them: each step is looked up among
// its parent's keys first, as RegCreateKeyExA would make a missing key.
#include <cstdint>
#include <map>
#include <utility>

#include "registry/RegistryApi.h"
#include "text/Text.h"

namespace pw {

class Keys {
public:
    explicit Keys(RegistryApi& registry) : registry_(registry) {}
    ~Keys();
    Keys(const Keys&) = delete;
    Keys& operator=(const Keys&) = delete;

    // The key for reading, or 0 when it does not exist; failure says why not.
    // lastListed: the last step was just listed among its parent's keys.
    RegHandle Find(std::int32_t root, const Text& sub, Text& failure, bool lastListed = false);
    // Forgets what is known below and at root\sub (after a write changed it).
    void Forget(std::int32_t root, const Text& sub);

private:
    bool Listed(RegHandle parent, const Text& name);

    RegistryApi& registry_;
    std::map<std::pair<std::int32_t, Text>, RegHandle> open_;  // by folded path; 0: missing
};

}  // namespace pw
