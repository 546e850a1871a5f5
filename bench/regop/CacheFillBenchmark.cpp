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

// One sandbox per size, prepared on first use and kept for the whole run.
test::RegistrySandbox& PreparedKey(int valueCount) {
    static std::map<int, std::unique_ptr<test::RegistrySandbox>> prepared;
    auto& sandbox = prepared[valueCount];
    if (sandbox) return *sandbox;
    sandbox = test::RegistrySandbox::Create();
    RegistryApi& api = sandbox->Api();
    RegHandle key = 0;
    if (api.RegCreateKeyExA(RootHandle(sandbox->Root()), ToAnsi(sandbox->KeyPath()).c_str(), 0, nullptr,
                            kRegOptionNonVolatile, regaccess::AllAccess, nullptr, &key, nullptr) != regerr::Success) {
        throw std::runtime_error("cannot open the benchmark key: " + api.DescribeLastFailure());
    }
    // Names and data of a realistic size: "Value000042" = "mail.example.com:6001-6002".
    for (int i = 0; i < valueCount; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Value%06d", i);
        const std::string data = "mail.example.com:" + std::to_string(6001 + i % 1000) + "-6002";
        if (api.RegSetValueExA(key, name, 0, regtype::Sz, reinterpret_cast<const std::uint8_t*>(data.c_str()),
                               static_cast<Dword>(data.size() + 1)) != regerr::Success) {
            throw std::runtime_error("cannot prepare value " + std::string(name) + ": " + api.DescribeLastFailure());
        }
    }
    api.RegCloseKey(key);
    return *sandbox;
}

void BM_CacheFill(benchmark::State& state) {
    const int valueCount = static_cast<int>(state.range(0));
    test::RegistrySandbox& sandbox = PreparedKey(valueCount);
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
BENCHMARK(BM_CacheFill)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pw

BENCHMARK_MAIN();
