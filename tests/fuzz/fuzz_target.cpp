// The fuzz target: a byte string is read as a sequence of the soak's events (ticks, edits,
// hotkeys, clicks, changes of the shell's windows) played into a fresh copy of the program, with
// the soak's invariants checked after each one and the leak counters when the copy ends.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "banner_driver.h"

namespace {

namespace soak = ledbanner::soak;

// Bounds that keep one input fast: long pastes and long waits are still reachable.
constexpr std::size_t kMaxPaste = soak::kLargestEdit;
constexpr std::size_t kPasteBudget = soak::kLargestEdit + 4096;
constexpr std::uint32_t kTickBudget = 20'000;

[[noreturn]] void Violation(const std::string& what, std::size_t event) {
  std::fprintf(stderr, "ledbanner_fuzz: invariant violated at event %zu: %s\n", event,
               what.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  soak::BannerDriver driver;
  std::size_t pasted = 0;
  std::uint32_t ticks = 0;
  std::size_t index = 0;
  while (size > 0) {
    soak::Event event = soak::DecodeEvent(data, size, kMaxPaste);
    if (event.kind == soak::EventKind::kTicks) {
      if (ticks >= kTickBudget) {
        continue;
      }
      ticks += event.a;
    }
    if (event.kind == soak::EventKind::kPaste || event.kind == soak::EventKind::kType) {
      if (pasted + event.text.size() > kPasteBudget) {
        event.text.resize(kPasteBudget - pasted);
      }
      pasted += event.text.size();
    }
    if (const std::string error = driver.Apply(event); !error.empty()) {
      Violation(error, index);
    }
    ++index;
  }
  if (const std::string error = driver.Stop(); !error.empty()) {
    Violation(error, index);
  }
  return 0;
}
