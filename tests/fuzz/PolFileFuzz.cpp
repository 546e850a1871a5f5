// Registry.pol reading: any bytes give operations or a refusal at an offset
// inside the file, never both; the values read write back to a file that reads
// as the same values, and no value read is an instruction ("**...").
#include "registry/PolFile.h"
#include "tests/fuzz/FuzzInput.h"

using namespace pw;
using regfile::Operation;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Most inputs should get past the header, so the fuzzer gives only the records.
    std::string bytes(reinterpret_cast<const char*>(data), size);
    if (size > 0 && data[0] != 'P') bytes.insert(0, std::string("PReg\1\0\0\0", 8));
    const regfile::ParseResult parsed = polfile::Parse(bytes);
    if (!parsed.ok()) {
        PW_FUZZ_CHECK(parsed.operations.empty());
        PW_FUZZ_CHECK(parsed.errorLine >= 0 && static_cast<std::size_t>(parsed.errorLine) <= bytes.size());
        return 0;
    }
    std::vector<regfile::Key> keys;
    std::vector<regfile::Value> values;
    for (const Operation& op : parsed.operations) {
        PW_FUZZ_CHECK(op.key.rfind(u"HKEY_LOCAL_MACHINE\\", 0) == 0);
        PW_FUZZ_CHECK(op.line >= 8 && static_cast<std::size_t>(op.line) < bytes.size());
        if (op.kind != Operation::Kind::SetValue) continue;
        PW_FUZZ_CHECK(op.value.name.rfind(u"**", 0) != 0);
        if (keys.empty() || keys.back().path != op.key) keys.push_back({Text(op.key), {}});
        keys.back().values.push_back(op.value.Owned());
        values.push_back(op.value.Owned());
    }
    Text failure;
    const auto written = polfile::Write(keys, failure);
    PW_FUZZ_CHECK(written.has_value());
    std::size_t next = 0;
    for (const Operation& op : polfile::Parse(*written).operations) {
        if (op.kind != Operation::Kind::SetValue) continue;
        PW_FUZZ_CHECK(next < values.size() && op.value.name == values[next].name &&
                      op.value.type == values[next].type && op.value.data == values[next].data);
        ++next;
    }
    PW_FUZZ_CHECK(next == values.size());
    return 0;
}
