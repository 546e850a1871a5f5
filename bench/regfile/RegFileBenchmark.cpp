// The .reg import's work before its first registry write: parsing a file of
// 10,000 values (the four common types in turn) and planning it against a
// registry that has none of its keys. Under Wine both add to every import's
// time beside the registry calls themselves, so they must stay small.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "registry/RegFile.h"
#include "registry/TreePlan.h"

namespace pw {
namespace {

std::string BenchFile(int count) {
    regfile::Key key{u"HKEY_LOCAL_MACHINE\\SOFTWARE\\PortwrightBench", {}};
    for (int i = 0; i < count; ++i) {
        const Text n = FromUtf8(std::to_string(i));
        regfile::Value value{u"value " + n, regtype::Sz, {}};
        switch (i % 4) {
            case 0:
                value.data = regfile::WideBytes(u"host" + n + u".corp.example:6001-6002;host" + n + u":6004");
                break;
            case 1:
                value.type = regtype::Dword_;
                value.data = LittleEndianBytes(static_cast<Dword>(i));
                break;
            case 2:
                value.type = regtype::Binary;
                value.data.assign(16, static_cast<std::uint8_t>(i));
                break;
            default:
                value.type = regtype::MultiSz;
                value.data = regfile::WideBytes(u"a" + n + Text(1, u'\0') + u"b");
        }
        key.values.push_back(std::move(value));
    }
    return regfile::Write({key});
}

// A registry with nothing in it: every key of the file is new.
class EmptyTree final : public RegistryTree {
public:
    bool HoldsRoot(RegHandle) const override { return true; }
    Text RootsHeld() const override { return u"all"; }
    RegStatus ReadKey(RegHandle, const Text&, KeyContents&, Text&) override { return regerr::FileNotFound; }
    ApplyOutcome Apply(const std::vector<TreeChange>&) override { return {}; }
};

void BM_ParseRegFile(benchmark::State& state) {
    const std::string file = BenchFile(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(regfile::Parse(file));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ParseRegFile)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_PlanRegFile(benchmark::State& state) {
    const regfile::ParseResult parsed = regfile::Parse(BenchFile(static_cast<int>(state.range(0))));
    EmptyTree tree;
    for (auto _ : state) benchmark::DoNotOptimize(PlanChanges(tree, parsed.operations));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PlanRegFile)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pw

BENCHMARK_MAIN();
