// The .reg format: any bytes parse without a crash, and keys with names, types
// and data drawn at random come back from Write then Parse exactly: same keys,
// names, types and bytes, unless Unwritable refused them first.
#include <vector>

#include "registry/RegFile.h"
#include "tests/fuzz/FuzzInput.h"

namespace pw::fuzz {
namespace {

// A name the registry can hold: no NUL; a key name also no backslash and not empty.
Text ConsumeName(FuzzedDataProvider& input, bool keyName) {
    Text name = RemoveAll(ConsumeText(input, 12), u'\0');
    if (keyName) name = ReplaceAll(name, u'\\', u'_');
    return keyName && name.empty() ? Text(u"k") : name;
}

std::vector<regfile::Key> ConsumeKeys(FuzzedDataProvider& input) {
    static const char16_t* const kRoots[] = {u"HKEY_LOCAL_MACHINE", u"HKEY_CURRENT_USER",
                                             u"HKEY_CLASSES_ROOT", u"HKEY_USERS", u"HKEY_CURRENT_CONFIG"};
    std::vector<regfile::Key> keys(input.ConsumeIntegralInRange<std::size_t>(1, 3));
    for (regfile::Key& key : keys) {
        key.path = kRoots[input.ConsumeIntegralInRange<std::size_t>(0, 4)];
        for (auto depth = input.ConsumeIntegralInRange<int>(1, 3); depth > 0; --depth)
            key.path += u"\\" + ConsumeName(input, true);
        for (auto count = input.ConsumeIntegralInRange<int>(0, 4); count > 0; --count) {
            regfile::Value value;
            value.name = ConsumeName(input, false);
            value.type = input.ConsumeBool() ? input.ConsumeIntegralInRange<Dword>(0, 11)
                                             : input.ConsumeIntegral<Dword>();
            const auto bytes = input.ConsumeBytes<std::uint8_t>(
                input.ConsumeIntegralInRange<std::size_t>(0, 40));
            value.data.assign(bytes.begin(), bytes.end());
            key.values.push_back(std::move(value));
        }
    }
    return keys;
}

}  // namespace
}  // namespace pw::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pw;
    regfile::Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    FuzzedDataProvider input(data, size);
    const std::vector<regfile::Key> keys = fuzz::ConsumeKeys(input);
    if (!regfile::Unwritable(keys).empty()) return 0;
    const regfile::ParseResult parsed = regfile::Parse(regfile::Write(keys));
    PW_FUZZ_CHECK(parsed.ok());
    std::size_t at = 0;
    for (const regfile::Key& key : keys) {
        PW_FUZZ_CHECK(at < parsed.operations.size());
        const regfile::Operation& line = parsed.operations[at++];
        PW_FUZZ_CHECK(line.kind == regfile::Operation::Kind::CreateKey && line.key == key.path);
        for (const regfile::Value& value : key.values) {
            PW_FUZZ_CHECK(at < parsed.operations.size());
            const regfile::Operation& op = parsed.operations[at++];
            PW_FUZZ_CHECK(op.kind == regfile::Operation::Kind::SetValue && op.key == key.path);
            PW_FUZZ_CHECK(op.value.name == value.name && op.value.type == value.type &&
                          op.value.data == value.data);
        }
    }
    PW_FUZZ_CHECK(at == parsed.operations.size());
    return 0;
}
