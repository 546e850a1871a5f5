// Registry calls in random order over two connections to one store, each
// answer checked against a plain model: keys, values with their types and
// data, names without regard to case, enumeration counts.
#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string>

#include "platform/posix/Prefix.h"
#include "registry/sqlite/SqliteRegistryApi.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/support/TempFolder.h"

using namespace pw;

namespace {

struct Value {
    Dword type;
    std::string data;
};
using Key = std::map<std::string, Value>;  // by folded name
using Model = std::map<std::string, Key>;  // by folded path below the input's own key

std::string Fold(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// One store for the whole run; each input works below a key of its own.
struct Store {
    Store() { a.LoadLibraryA("Shlwapi"); }
    test::TempFolder folder{"portwright-fuzz"};
    SqliteRegistryApi a{RegistryStorePath(folder.Path().string())},
        b{RegistryStorePath(folder.Path().string())};
};

RegHandle Open(RegistryApi& api, RegHandle parent, const std::string& path, Dword* disposition = nullptr) {
    RegHandle key = 0;
    const RegStatus status = api.RegCreateKeyExA(parent, path.c_str(), 0, nullptr, kRegOptionNonVolatile,
                                                 regaccess::AllAccess, nullptr, &key, disposition);
    PW_FUZZ_CHECK(status == regerr::Success);
    return key;
}

std::string Name(FuzzedDataProvider& input, const char* const* names, std::size_t count) {
    std::string name = names[input.ConsumeIntegralInRange<std::size_t>(0, count - 1)];
    for (char& c : name)
        if (input.ConsumeBool()) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name;
}

Value MakeValue(FuzzedDataProvider& input) {
    const Dword type = input.PickValueInArray(
        {regtype::Sz, regtype::ExpandSz, regtype::Binary, regtype::Dword_, regtype::None});
    std::string data = input.ConsumeRandomLengthString(32);
    if (type == regtype::Dword_) data.resize(4, '\0');
    if (type == regtype::Sz || type == regtype::ExpandSz) {
        for (char& c : data) c = static_cast<char>(' ' + static_cast<unsigned char>(c) % 95);
        data.push_back('\0');
    }
    return {type, data};
}

void CheckEnumeration(RegistryApi& api, RegHandle key, const std::string& path, const Model& model) {
    std::set<std::string> children;
    for (const auto& [other, unused] : model) {
        const std::size_t start = path.empty() ? 0 : path.size() + 1;
        if (other.size() > start && (path.empty() || other.compare(0, start, path + "\\") == 0) &&
            other.find('\\', start) == std::string::npos)
            children.insert(other.substr(start));
    }
    const Key& values = model.at(path);
    Dword subKeys = 0, valueCount = 0;
    PW_FUZZ_CHECK(api.RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr,
                                       &valueCount, nullptr, nullptr, nullptr, nullptr) == regerr::Success);
    PW_FUZZ_CHECK(subKeys == children.size() && valueCount == values.size());

    std::set<std::string> seen;
    for (Dword index = 0;; ++index) {
        char name[256];
        std::uint8_t data[256];
        Dword nameLen = sizeof name, dataLen = sizeof data, type = 0;
        const RegStatus status = api.RegEnumValueA(key, index, name, &nameLen, nullptr, &type, data,
                                                   &dataLen);
        if (index == values.size()) {
            PW_FUZZ_CHECK(status == regerr::NoMoreItems);
            break;
        }
        PW_FUZZ_CHECK(status == regerr::Success && seen.insert(Fold(name)).second);
        const auto found = values.find(Fold(name));
        PW_FUZZ_CHECK(found != values.end() && found->second.type == type &&
                      found->second.data == std::string(reinterpret_cast<char*>(data), dataLen));
    }
    seen.clear();
    for (Dword index = 0;; ++index) {
        char name[256];
        Dword nameLen = sizeof name;
        const RegStatus status = api.RegEnumKeyExA(key, index, name, &nameLen, nullptr, nullptr, nullptr,
                                                   nullptr);
        if (index == children.size()) {
            PW_FUZZ_CHECK(status == regerr::NoMoreItems);
            break;
        }
        PW_FUZZ_CHECK(status == regerr::Success && children.count(Fold(name)) == 1 &&
                      seen.insert(Fold(name)).second);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Store store;
    static int inputs = 0;
    static const char* const kKeyNames[] = {"alpha", "beta", "gamma"};
    static const char* const kValueNames[] = {"", "port", "ports", "validports"};

    FuzzedDataProvider input(data, size);
    const std::string own = "Software\\PortwrightFuzz\\" + std::to_string(++inputs);
    const RegHandle base[2] = {Open(store.a, RootHandle(kCurrentUser32), own),
                               Open(store.b, RootHandle(kCurrentUser32), own)};
    RegistryApi* api[2] = {&store.a, &store.b};
    Model model{{"", {}}};

    for (int step = 0; step < 32 && input.remaining_bytes() > 0; ++step) {
        const int side = input.ConsumeIntegralInRange(0, 1);
        RegistryApi& reg = *api[side];
        std::string path = Name(input, kKeyNames, 3);
        if (input.ConsumeBool()) path += "\\" + Name(input, kKeyNames, 3);
        if (input.ConsumeIntegralInRange(0, 3) == 0) path.clear();  // the input's own key
        const std::string folded = Fold(path);
        const bool exists = model.count(folded) == 1;
        const std::string name = Name(input, kValueNames, 4);

        switch (input.ConsumeIntegralInRange(0, 5)) {
            case 0: {  // create or open a key, then set a value in it
                Dword disposition = 0;
                const RegHandle key = Open(reg, base[side], path, &disposition);
                PW_FUZZ_CHECK(disposition == (exists ? kOpenedExistingKey : kCreatedNewKey));
                model[Fold(path.substr(0, path.find('\\')))];
                const Value value = MakeValue(input);
                PW_FUZZ_CHECK(reg.RegSetValueExA(key, name.c_str(), 0, value.type,
                                                 reinterpret_cast<const std::uint8_t*>(value.data.data()),
                                                 static_cast<Dword>(value.data.size())) == regerr::Success);
                model[folded][Fold(name)] = value;
                reg.RegCloseKey(key);
                break;
            }
            case 1: {  // query a value
                if (!exists) break;
                const RegHandle key = Open(reg, base[side], path);
                std::uint8_t bytes[256];
                Dword type = 0, length = sizeof bytes;
                const RegStatus status = reg.RegQueryValueExA(key, name.c_str(), nullptr, &type, bytes,
                                                              &length);
                const auto found = model[folded].find(Fold(name));
                if (found == model[folded].end()) {
                    PW_FUZZ_CHECK(status == regerr::FileNotFound);
                } else {
                    PW_FUZZ_CHECK(status == regerr::Success && type == found->second.type &&
                                  found->second.data == std::string(reinterpret_cast<char*>(bytes), length));
                }
                reg.RegCloseKey(key);
                break;
            }
            case 2: {  // delete a value
                if (!exists) break;
                const RegHandle key = Open(reg, base[side], path);
                const bool had = model[folded].erase(Fold(name)) == 1;
                PW_FUZZ_CHECK(reg.RegDeleteValueA(key, name.c_str()) ==
                              (had ? regerr::Success : regerr::FileNotFound));
                reg.RegCloseKey(key);
                break;
            }
            case 3: {  // delete a key that has no subkeys
                if (path.empty()) break;
                const auto next = model.upper_bound(folded);
                const bool leaf = exists && (next == model.end() || next->first.rfind(folded + "\\", 0) != 0);
                const RegStatus status = reg.RegDeleteKeyA(base[side], path.c_str());
                if (!exists)
                    PW_FUZZ_CHECK(status == regerr::FileNotFound);
                else if (!leaf)
                    PW_FUZZ_CHECK(status != regerr::Success);
                else
                    PW_FUZZ_CHECK(status == regerr::Success);
                if (leaf) model.erase(folded);
                break;
            }
            case 4: {  // delete a key with its subtree
                if (path.empty()) break;
                const RegStatus status = store.a.SHDeleteKeyA(base[0], path.c_str());
                PW_FUZZ_CHECK((status == regerr::Success) == exists);
                for (auto it = model.begin(); it != model.end();)
                    it = it->first == folded || it->first.rfind(folded + "\\", 0) == 0 ? model.erase(it)
                                                                                       : std::next(it);
                break;
            }
            default: {  // enumerate a key
                if (!exists) break;
                const RegHandle key = Open(reg, base[side], path);
                CheckEnumeration(reg, key, folded, model);
                reg.RegCloseKey(key);
            }
        }
    }
    for (int side = 0; side < 2; ++side) api[side]->RegCloseKey(base[side]);
    PW_FUZZ_CHECK(store.a.SHDeleteKeyA(RootHandle(kCurrentUser32), own.c_str()) == regerr::Success);
    return 0;
}
