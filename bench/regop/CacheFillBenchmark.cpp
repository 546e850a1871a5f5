// The value cache fill: a fresh RegOp reads one value of a key that holds n
// values, which opens the key and enumerates all n into the cache.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <stdexcept>
#include <string>

#include "registry/RegOp.h"
#include "tests/support/RegistrySandbox.h"

namespace pw {
namespace {

enum class Kind { Texts, Numbers };

// One sandbox per kind and size, prepared on first use and kept for the whole run.
test::RegistrySandbox& PreparedKey(Kind kind, int valueCount) {
    static std::map<std::pair<Kind, int>, std::unique_ptr<test::RegistrySandbox>> prepared;
    auto& sandbox = prepared[{kind, valueCount}];
    if (sandbox) return *sandbox;
    sandbox = test::RegistrySandbox::Create();
    RegistryApi& api = sandbox->Api();
    RegHandle key = 0;
    if (api.RegCreateKeyExA(RootHandle(sandbox->Root()), ToAnsi(sandbox->KeyPath()).c_str(), 0, nullptr,
                            kRegOptionNonVolatile, regaccess::AllAccess, nullptr, &key,
                            nullptr) != regerr::Success) {
        throw std::runtime_error("cannot open the benchmark key: " + api.DescribeLastFailure());
    }
    // Names and data of a realistic size: "Value000042" = "mail.example.com:6001-6002",
    // or the number 42.
    for (int i = 0; i < valueCount; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Value%06d", i);
        std::string data = "mail.example.com:" + std::to_string(6001 + i % 1000) + "-6002";
        data.push_back('\0');
        Dword type = regtype::Sz;
        if (kind == Kind::Numbers) {
            type = regtype::Dword_;
            data = std::string{static_cast<char>(i), static_cast<char>(i >> 8), static_cast<char>(i >> 16),
                               0};
        }
        if (api.RegSetValueExA(key, name, 0, type, reinterpret_cast<const std::uint8_t*>(data.data()),
                               static_cast<Dword>(data.size())) != regerr::Success) {
            throw std::runtime_error("cannot prepare value " + std::string(name) + ": " +
                                     api.DescribeLastFailure());
        }
    }
    api.RegCloseKey(key);
    return *sandbox;
}

void CacheFill(benchmark::State& state, Kind kind) {
    const int valueCount = static_cast<int>(state.range(0));
    test::RegistrySandbox& sandbox = PreparedKey(kind, valueCount);
    const Text path = sandbox.KeyPath();
    for (auto _ : state) {
        RegOp op(sandbox.Api());
        op.Root(sandbox.Root());
        op.Key(path);
        RegValue value = op.Value(u"Value000000");
        if (IsEmpty(value)) {
            state.SkipWithError("the prepared value was not read");
            break;
        }
        benchmark::DoNotOptimize(value);
    }
    state.SetItemsProcessed(state.iterations() * valueCount);
}
void BM_CacheFill(benchmark::State& state) { CacheFill(state, Kind::Texts); }
BENCHMARK(BM_CacheFill)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Each number is enumerated twice (the second time into a four-byte buffer).
void BM_CacheFillNumbers(benchmark::State& state) { CacheFill(state, Kind::Numbers); }
BENCHMARK(BM_CacheFillNumbers)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pw

BENCHMARK_MAIN();
