// A rollout over 200 servers through the test double of their registries,
// each answering after 10 ms: one at a time (--parallel 1) against the
// default, side by side; the time is the wall clock's.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/Rollout.h"
#include "tests/support/SlowRemoteRegistry.h"

namespace pw::test {
namespace {

constexpr int kServers = 200;
constexpr std::uint32_t kServerMs = 10;

void Rollout(benchmark::State& state) {
    RemoteServers remote;
    std::vector<Text> servers;
    for (int i = 1; i <= kServers; ++i) {
        servers.push_back(FromUtf8("exch" + std::to_string(i)));
        remote.Plan("exch" + std::to_string(i), {ServerBehaviour::Kind::Answer, kServerMs});
    }
    RolloutParts parts;
    parts.openRegistry = [&remote] { return remote.Open(); };
    parts.taskFor = [](std::size_t) {
        return [](RegistryApi& registry) {
            registry.RegSetValueExA(RootHandle(kLocalMachine32), "ValidPorts", 0, regtype::Sz, nullptr, 0);
            return ServerOutcome{ServerOutcome::Status::Done, {}, 0};
        };
    };
    RolloutSettings settings;
    settings.parallel = static_cast<std::size_t>(state.range(0));
    for (auto _ : state) {
        const auto outcomes = RunRollout(servers, settings, parts);
        for (const ServerOutcome& outcome : outcomes) {
            if (!outcome.Succeeded()) state.SkipWithError("a server did not finish");
        }
    }
    state.counters["servers_per_s"] = benchmark::Counter(static_cast<double>(kServers) * state.iterations(),
                                                         benchmark::Counter::kIsRate);
}

// 1: one server after another; 16: the default.
BENCHMARK(Rollout)
    ->Arg(1)
    ->Arg(RolloutSettings{}.parallel)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

}  // namespace
}  // namespace pw::test

BENCHMARK_MAIN();
