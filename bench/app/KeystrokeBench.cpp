// One keystroke's work: a name box changes, the value is composed again and
// txtModified shows it.
#include <benchmark/benchmark.h>

#include "tests/app/WindowHarness.h"

namespace pw::test {
namespace {

void Keystroke(benchmark::State& state, ControlId box, Text text) {
    WindowHarness h;
    h.SeedExch1OnCorpExample();
    h.Load();
    // Typing one character more and one less: every keystroke changes the box.
    const Text texts[2] = {text, text.substr(0, text.size() - 1)};
    std::size_t next = 0;
    for (auto _ : state) {
        h.form.Type(box, texts[next]);
        next ^= 1;
        benchmark::DoNotOptimize(h.Shown(ControlId::txtModified).data());
    }
    if (h.State().strModifiedValue != h.Shown(ControlId::txtModified) || !h.form.Prompts().empty()) {
        state.SkipWithError("the keystrokes did not compose the value");
    }
}

BENCHMARK_CAPTURE(Keystroke, ExternalName, ControlId::txtExternalFQDN, Text(u"mail.example.com"));
BENCHMARK_CAPTURE(Keystroke, ComputerName, ControlId::txtComputerName, Text(u"EXCH12"));

}  // namespace
}  // namespace pw::test

BENCHMARK_MAIN();
