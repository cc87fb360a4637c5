// The cost of a tick and of an edit in our own code: the banner, started as the program starts
// it, on the in-memory window manager (which records every call, so its own cost is a constant
// part of each figure).
//
//   ScrollStep/BYTES  the tick handler alone
//   Tick/BYTES        the tick handler and the frame it causes (WM_PAINT of the picture box)
//   InputEdited/BYTES the edit handler alone, for a text of BYTES ASCII bytes
//   Edit/BYTES        the edit handler and the frame after it (the text's layout is made anew)
//
// allocs/iter counts the calls of operator new per iteration, the in-memory window manager's
// own records included.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>

#include "banner_fixture.h"
#include "marquee/marquee.h"

namespace {

std::atomic<long long> allocations{0};

}  // namespace

// Counting allocator: every allocation of the process goes through here. The replaced new takes
// its blocks from malloc, so the replaced delete gives them back with free.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void* operator new(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* block = std::malloc(size == 0 ? 1 : size)) {
    return block;
  }
  throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t /*size*/) noexcept { std::free(block); }

namespace {

namespace pf = ledbanner::platform;
using ledbanner::testing::Banner;

std::u16string TextOfBytes(std::int64_t bytes) {
  static const std::u16string pattern = u"LED Banner 0123456789 ";
  std::u16string text;
  text.reserve(static_cast<std::size_t>(bytes));
  for (std::int64_t i = 0; i < bytes; ++i) {
    text.push_back(pattern[static_cast<std::size_t>(i) % pattern.size()]);
  }
  return text;
}

// A started banner whose input box holds a text of the given length, with every frame drawn.
struct Setup {
  pf::InMemoryWindowManager wm;
  Banner banner{wm};

  explicit Setup(std::int64_t bytes) {
    banner.Start();
    banner.Pump();
    wm.ReplaceEditText(banner.Window().编辑框1.Handle(), TextOfBytes(bytes));
    banner.Pump();
    ClearLogs();
  }
  void ClearLogs() {
    wm.ClearCallLog();
    wm.ClearMessageLog();
    wm.ClearDrawLog();
  }
};

void Count(benchmark::State& state, long long before) {
  state.counters["allocs/iter"] = benchmark::Counter(
      static_cast<double>(allocations.load() - before), benchmark::Counter::kAvgIterations);
}

void BM_ScrollStep(benchmark::State& state) {
  Setup setup(state.range(0));
  const auto& window = setup.banner.Window();
  const long long before = allocations.load();
  for (auto _ : state) {
    ledbanner::marquee::ScrollStep(window);
    setup.ClearLogs();
  }
  Count(state, before);
}

void BM_Tick(benchmark::State& state) {
  Setup setup(state.range(0));
  const auto& window = setup.banner.Window();
  const long long before = allocations.load();
  for (auto _ : state) {
    ledbanner::marquee::ScrollStep(window);
    setup.banner.Pump();
    setup.ClearLogs();
  }
  Count(state, before);
}

void BM_InputEdited(benchmark::State& state) {
  Setup setup(state.range(0));
  const auto& window = setup.banner.Window();
  const long long before = allocations.load();
  for (auto _ : state) {
    ledbanner::marquee::InputEdited(window);
    setup.ClearLogs();
  }
  Count(state, before);
}

void BM_Edit(benchmark::State& state) {
  Setup setup(state.range(0));
  const auto& window = setup.banner.Window();
  const long long before = allocations.load();
  for (auto _ : state) {
    ledbanner::marquee::InputEdited(window);
    // Only the strip repaints here; a posted message in between tells the in-memory window
    // manager that the loop is not stuck on one window's WM_PAINT.
    setup.wm.PostMessageW(setup.banner.Form().Handle(), pf::WM_NULL, 0, 0);
    setup.banner.Pump();
    setup.ClearLogs();
  }
  Count(state, before);
}

}  // namespace

BENCHMARK(BM_ScrollStep)->Arg(3)->Arg(1000)->Arg(100000);
BENCHMARK(BM_Tick)->Arg(3)->Arg(1000)->Arg(100000);
BENCHMARK(BM_InputEdited)->Arg(3)->Arg(1000)->Arg(100000);
BENCHMARK(BM_Edit)->Arg(3)->Arg(1000)->Arg(100000);

BENCHMARK_MAIN();
