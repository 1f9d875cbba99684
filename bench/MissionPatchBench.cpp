// The mission rewrite of an 8 MB file against a plain copy of the same bytes, and both at
// growing sizes: a steady ratio shows the rewrite stays linear in the file size.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/MissionSample.h"
#include "launcher/DisplayConfigContent.h"
#include "launcher/MissionContent.h"
#include "launcher/WeaponLineSearch.h"

namespace {

constexpr size_t kEightMegabytes = 8u << 20;

const std::string& sample(size_t size) {
  static std::string content;
  if (content.size() != size) content = missionSample(size);
  return content;
}

void BM_MissionPatch(benchmark::State& state) {
  const std::string& content = sample(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    // The program's rewrite over the whole content: the line found, the new content made
    // around it.
    WeaponLineSearch search;
    search.take(content);
    search.finish();
    const WeaponLineSpan line = *search.line();
    std::string patched = content.substr(0, line.begin);
    patched += weaponLine(28).view();
    patched.append(content, line.end);
    benchmark::DoNotOptimize(patched.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_PlainCopy(benchmark::State& state) {
  const std::string& content = sample(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    std::string copy(content);
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_DisplayPatch(benchmark::State& state) {
  const std::string& content = sample(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    std::optional<std::string> patched = patchDisplayConfigContent(content, 1);
    benchmark::DoNotOptimize(patched->data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(BM_MissionPatch)->Arg(kEightMegabytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainCopy)->Arg(kEightMegabytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DisplayPatch)->Arg(kEightMegabytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MissionPatch)
    ->Name("BM_MissionPatchScaling")
    ->RangeMultiplier(2)
    ->Range(1u << 20, 32u << 20)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainCopy)
    ->Name("BM_PlainCopyScaling")
    ->RangeMultiplier(2)
    ->Range(1u << 20, 32u << 20)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
