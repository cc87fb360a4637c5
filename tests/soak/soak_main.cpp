// The soak run: days of use in about a minute. A seeded generator plays a long, fixed mix of
// ticks, edits of the input box, hotkeys, check-box clicks and changes of the shell's windows into
// one copy of the program after another, and checks every invariant after each event and the
// leak counters at regular checkpoints.
//
//   ledbanner_soak [--seed=N] [--scale=F] [--trace] [gtest flags]
// The seed also comes from LEDBANNER_SOAK_SEED, the scale (a factor on every count) from
// LEDBANNER_SOAK_SCALE; the command line wins.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "banner_driver.h"

namespace ledbanner::soak {
namespace {

constexpr std::uint64_t kDefaultSeed = 0x1ED0BA22E5ULL;
// What the heap may hold more at a checkpoint than after the warm-up: capacities that grew with
// the largest inputs stay, but nothing may grow with the number of events.
constexpr std::size_t kHeapSlackBytes = 512 * 1024;
constexpr std::size_t kLargestPaste = kLargestEdit;
// Blocks that a checkpoint may hold more than the first one: none grows with the events.
constexpr std::int64_t kAllocationSlack = 16;

struct Options {
  std::uint64_t seed = kDefaultSeed;
  double scale = 1.0;
  bool trace = false;  // one line per checkpoint
};
Options options;

// The counts of the full run; every one is multiplied by the scale.
struct Plan {
  std::uint64_t ticks = 1'000'000;
  std::uint64_t edits = 100'000;
  std::uint64_t hotkeys = 10'000;
  std::uint64_t clicks = 3'000;
  std::uint64_t creates = 6'000;
  std::uint64_t destroys = 3'000;
  std::uint64_t enumDestroys = 2'000;
  std::uint64_t progmanVanishes = 400;
  std::uint64_t moods = 600;
  std::uint64_t activates = 1'500;
  std::uint64_t deactivates = 600;
  std::uint64_t escapes = 40;
  std::uint64_t largePastes = 8;
};

std::uint64_t Scaled(std::uint64_t count, double scale) {
  const auto scaled = static_cast<std::uint64_t>(static_cast<double>(count) * scale + 0.5);
  return count > 0 ? std::max<std::uint64_t>(scaled, 1) : 0;
}

// Sizes of the edits: most are short.
enum class EditSize : std::uint8_t { kTyped, kShort, kMedium, kLarge, kEmpty };

struct Planned {
  EventKind kind = EventKind::kTicks;
  std::uint32_t a = 0;
  std::uint32_t b = 0;
  EditSize size = EditSize::kShort;
};

std::uint64_t Below(std::mt19937_64& rng, std::uint64_t bound) { return rng() % bound; }

std::vector<Planned> MakeSchedule(std::mt19937_64& rng, const Plan& plan) {
  std::vector<Planned> events;
  const auto add = [&](EventKind kind, std::uint64_t count) {
    for (std::uint64_t i = 0; i < count; ++i) {
      Planned planned;
      planned.kind = kind;
      planned.a = static_cast<std::uint32_t>(rng());
      planned.b = static_cast<std::uint32_t>(rng());
      events.push_back(planned);
    }
  };
  for (std::uint64_t i = 0; i < plan.edits; ++i) {
    Planned edit;
    const std::uint64_t roll = Below(rng, 100);
    if (i < plan.largePastes) {
      edit.kind = EventKind::kPaste;
      edit.size = EditSize::kLarge;
      edit.a = i == 0 ? 1 : 0;  // the first one is the full megabyte
    } else if (roll < 60) {
      edit.kind = EventKind::kType;
      edit.size = EditSize::kTyped;
    } else if (roll < 95) {
      edit.kind = EventKind::kPaste;
      edit.size = EditSize::kShort;
    } else if (roll < 98) {
      edit.kind = EventKind::kPaste;
      edit.size = EditSize::kMedium;
    } else {
      edit.kind = EventKind::kPaste;
      edit.size = EditSize::kEmpty;
    }
    events.push_back(edit);
  }
  for (std::uint64_t i = 0; i < plan.hotkeys; ++i) {
    Planned press;
    press.kind = EventKind::kHotkey;
    press.a = static_cast<std::uint32_t>(Below(rng, 3));
    const std::uint64_t roll = Below(rng, 100);
    // Held keys: the system repeats the hotkey while it is down.
    press.b = static_cast<std::uint32_t>(roll < 85   ? 1
                                         : roll < 95 ? 2 + Below(rng, 4)
                                                     : 6 + Below(rng, 25));
    events.push_back(press);
  }
  add(EventKind::kClickTopmost, plan.clicks);
  add(EventKind::kCreateShellWindow, plan.creates);
  add(EventKind::kDestroyShellWindow, plan.destroys);
  add(EventKind::kArmEnumDestroy, plan.enumDestroys);
  add(EventKind::kProgmanVanish, plan.progmanVanishes);
  add(EventKind::kShellMood, plan.moods);
  add(EventKind::kActivate, plan.activates);
  add(EventKind::kDeactivate, plan.deactivates);
  add(EventKind::kEscape, plan.escapes);

  // Fisher-Yates with the generator's own numbers, so the order is the same with any library.
  for (std::size_t i = events.size(); i > 1; --i) {
    std::swap(events[i - 1], events[static_cast<std::size_t>(Below(rng, i))]);
  }

  // The warm-up plays one of each kind first, the largest paste among them, so that every cache
  // and capacity has reached its size before the first checkpoint.
  std::vector<Planned> warmUp;
  const auto take = [&](auto matches, std::uint32_t a) {
    for (auto it = events.begin(); it != events.end(); ++it) {
      if (matches(*it)) {
        Planned planned = *it;
        if (a != UINT32_MAX) {
          planned.a = a;
        }
        warmUp.push_back(planned);
        events.erase(it);
        return;
      }
    }
  };
  const auto kind = [](EventKind k) { return [k](const Planned& p) { return p.kind == k; }; };
  const auto hotkey = [](std::uint32_t which) {
    return [which](const Planned& p) { return p.kind == EventKind::kHotkey && p.a == which; };
  };
  take(kind(EventKind::kCreateShellWindow), 7);  // the shell's usual layout
  take(hotkey(0), UINT32_MAX);
  take([](const Planned& p) { return p.size == EditSize::kLarge && p.a == 1; }, UINT32_MAX);
  take(kind(EventKind::kClickTopmost), UINT32_MAX);
  take(hotkey(2), UINT32_MAX);
  take(kind(EventKind::kArmEnumDestroy), UINT32_MAX);
  take(hotkey(0), UINT32_MAX);
  take(kind(EventKind::kShellMood), UINT32_MAX);
  take(hotkey(1), UINT32_MAX);
  take(kind(EventKind::kType), UINT32_MAX);
  take([](const Planned& p) { return p.size == EditSize::kMedium; }, UINT32_MAX);
  take(kind(EventKind::kDeactivate), UINT32_MAX);
  take(kind(EventKind::kActivate), UINT32_MAX);
  events.insert(events.begin(), warmUp.begin(), warmUp.end());

  // The ticks fall between the other events at random; their total is exact.
  std::vector<std::uint32_t> ticksBefore(events.size() + 1, 0);
  for (std::uint64_t i = 0; i < plan.ticks; ++i) {
    ++ticksBefore[static_cast<std::size_t>(Below(rng, ticksBefore.size()))];
  }
  std::vector<Planned> schedule;
  schedule.reserve(events.size() * 2 + 1);
  for (std::size_t i = 0; i <= events.size(); ++i) {
    if (ticksBefore[i] > 0) {
      Planned ticks;
      ticks.kind = EventKind::kTicks;
      ticks.a = ticksBefore[i];
      schedule.push_back(ticks);
    }
    if (i < events.size()) {
      schedule.push_back(events[i]);
    }
  }
  return schedule;
}

Event Materialize(const Planned& planned, std::mt19937_64& rng) {
  Event event;
  event.kind = planned.kind;
  event.a = planned.a;
  event.b = planned.b;
  constexpr unsigned kAll = 0xFF;
  constexpr unsigned kPrintable = kAll & ~(1U << 5);
  switch (planned.kind) {
    case EventKind::kType:
      event.text = text::Random(rng, 1 + Below(rng, 8), kPrintable);
      break;
    case EventKind::kPaste:
      switch (planned.size) {
        case EditSize::kShort:
          event.text = text::Random(rng, Below(rng, 65), kAll);
          break;
        case EditSize::kMedium:
          event.text = text::Random(rng, 65 + Below(rng, 4032), kAll);
          break;
        case EditSize::kLarge:
          event.text = text::Random(
              rng, planned.a == 1 ? kLargestPaste : 65536 + Below(rng, kLargestPaste - 65536),
              kAll);
          event.text.resize(std::min(event.text.size(), kLargestPaste));
          break;
        default:
          break;
      }
      break;
    default:
      break;
  }
  return event;
}

const char* KindName(EventKind kind) {
  static constexpr const char* kNames[] = {
      "ticks",          "type",         "paste",         "hotkey",
      "click topmost",  "create shell", "destroy shell", "arm enum destroy",
      "progman vanish", "shell mood",   "activate",      "deactivate",
      "escape"};
  const auto index = static_cast<std::size_t>(kind);
  return index < std::size(kNames) ? kNames[index] : "?";
}

std::string Describe(const Event& event) {
  return std::string(KindName(event.kind)) + " a=" + std::to_string(event.a) +
         " b=" + std::to_string(event.b) + " text units=" + std::to_string(event.text.size());
}

std::string CompareWithBaseline(const Counters& now, const Counters& baseline) {
  if (now.windows != baseline.windows || now.gdiObjects != baseline.gdiObjects ||
      now.dcs != baseline.dcs || now.timers != baseline.timers) {
    return "leak counters moved: windows " + std::to_string(baseline.windows) + " -> " +
           std::to_string(now.windows) + ", GDI objects " + std::to_string(baseline.gdiObjects) +
           " -> " + std::to_string(now.gdiObjects) + ", DCs " + std::to_string(baseline.dcs) +
           " -> " + std::to_string(now.dcs) + ", timers " + std::to_string(baseline.timers) +
           " -> " + std::to_string(now.timers);
  }
  if (now.allocations > baseline.allocations + kAllocationSlack) {
    return "live heap blocks grew from " + std::to_string(baseline.allocations) + " to " +
           std::to_string(now.allocations);
  }
  if (now.heapBytes > baseline.heapBytes + kHeapSlackBytes) {
    return "the heap grew from " + std::to_string(baseline.heapBytes) + " to " +
           std::to_string(now.heapBytes) + " bytes";
  }
  return {};
}

TEST(Soak, RunsForDaysAndTakesAnyInput) {
  const auto started = std::chrono::steady_clock::now();
  std::mt19937_64 rng(options.seed);
  Plan plan;
  const double s = options.scale;
  plan.ticks = Scaled(plan.ticks, s);
  plan.edits = Scaled(plan.edits, s);
  plan.hotkeys = Scaled(plan.hotkeys, s);
  plan.clicks = Scaled(plan.clicks, s);
  plan.creates = Scaled(plan.creates, s);
  plan.destroys = Scaled(plan.destroys, s);
  plan.enumDestroys = Scaled(plan.enumDestroys, s);
  plan.progmanVanishes = Scaled(plan.progmanVanishes, s);
  plan.moods = Scaled(plan.moods, s);
  plan.activates = Scaled(plan.activates, s);
  plan.deactivates = Scaled(plan.deactivates, s);
  plan.escapes = Scaled(plan.escapes, s);
  plan.largePastes = std::min<std::uint64_t>(Scaled(plan.largePastes, s), plan.edits);
  const std::vector<Planned> schedule = MakeSchedule(rng, plan);

  BannerDriver driver;
  const std::size_t warmUpEnd = std::min<std::size_t>(schedule.size(), 2000);
  const std::size_t interval = std::max<std::size_t>(schedule.size() / 25, 500);
  Counters baseline;
  bool haveBaseline = false;
  Counters last;
  for (std::size_t i = 0; i < schedule.size(); ++i) {
    const Event event = Materialize(schedule[i], rng);
    const std::string error = driver.Apply(event);
    ASSERT_EQ(error, "") << "event #" << i << " (" << Describe(event) << "), seed " << options.seed;
    const bool checkpoint =
        (i + 1 == warmUpEnd) || (haveBaseline && (i + 1 - warmUpEnd) % interval == 0);
    if (checkpoint) {
      const std::string settleError = driver.Settle(last);
      ASSERT_EQ(settleError, "") << "checkpoint after event #" << i << ", seed " << options.seed;
      if (options.trace) {
        std::printf(
            "checkpoint after event %zu: gdi=%zu dcs=%zu windows=%zu heap=%zu blocks=%lld\n", i,
            last.gdiObjects, last.dcs, last.windows, last.heapBytes,
            static_cast<long long>(last.allocations));
      }
      if (!haveBaseline) {
        baseline = last;
        haveBaseline = true;
      } else {
        ASSERT_EQ(CompareWithBaseline(last, baseline), "")
            << "checkpoint after event #" << i << ", seed " << options.seed;
      }
    }
  }
  ASSERT_EQ(driver.Settle(last), "") << "final checkpoint, seed " << options.seed;
  if (haveBaseline) {
    ASSERT_EQ(CompareWithBaseline(last, baseline), "") << "final checkpoint, seed " << options.seed;
  }
  ASSERT_EQ(driver.Stop(), "") << "the last copy's end, seed " << options.seed;

  const Stats& st = driver.GetStats();
  EXPECT_EQ(st.ticks, plan.ticks);
  EXPECT_EQ(st.edits, plan.edits);
  EXPECT_EQ(st.hotkeyPresses, plan.hotkeys);
  EXPECT_GT(st.locks, 0U) << "no F1 ever locked the banner onto a desktop";
  EXPECT_GT(st.progmanVanishes, 0U) << "Progman never vanished under a locked banner";
  EXPECT_GT(st.enumDestroys, 0U) << "no window was destroyed during an enumeration";
  EXPECT_GT(st.workerCloses, 0U) << "no empty worker was ever closed";

  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::printf(
      "soak: seed=%llu scale=%g events=%llu ticks=%llu edits=%llu (units=%llu largest=%llu) "
      "hotkeys=%llu clicks=%llu shell-changes=%llu enum-destroys=%llu progman-vanishes=%llu "
      "restarts=%llu locks=%llu worker-closes=%llu enumerations=%llu checkpoints=%llu "
      "seconds=%.1f peak(windows=%zu gdi=%zu dcs=%zu timers=%zu heap=%zu blocks=%lld) "
      "baseline(gdi=%zu dcs=%zu heap=%zu blocks=%lld) final(gdi=%zu dcs=%zu heap=%zu "
      "blocks=%lld)\n",
      static_cast<unsigned long long>(options.seed), options.scale,
      static_cast<unsigned long long>(st.events), static_cast<unsigned long long>(st.ticks),
      static_cast<unsigned long long>(st.edits), static_cast<unsigned long long>(st.editUnits),
      static_cast<unsigned long long>(st.largestEdit),
      static_cast<unsigned long long>(st.hotkeyPresses),
      static_cast<unsigned long long>(st.topmostClicks),
      static_cast<unsigned long long>(st.shellChanges),
      static_cast<unsigned long long>(st.enumDestroys),
      static_cast<unsigned long long>(st.progmanVanishes),
      static_cast<unsigned long long>(st.restarts), static_cast<unsigned long long>(st.locks),
      static_cast<unsigned long long>(st.workerCloses),
      static_cast<unsigned long long>(st.enumerations),
      static_cast<unsigned long long>(st.checkpoints), seconds, st.peak.windows, st.peak.gdiObjects,
      st.peak.dcs, st.peak.timers, st.peak.heapBytes, static_cast<long long>(st.peak.allocations),
      baseline.gdiObjects, baseline.dcs, baseline.heapBytes,
      static_cast<long long>(baseline.allocations), last.gdiObjects, last.dcs, last.heapBytes,
      static_cast<long long>(last.allocations));
}

bool ParseOption(std::string_view arg) {
  if (arg.starts_with("--seed=")) {
    options.seed = std::strtoull(std::string(arg.substr(7)).c_str(), nullptr, 0);
    return true;
  }
  if (arg.starts_with("--scale=")) {
    options.scale = std::strtod(std::string(arg.substr(8)).c_str(), nullptr);
    return options.scale > 0.0;
  }
  if (arg == "--trace") {
    options.trace = true;
    return true;
  }
  return false;
}

}  // namespace
}  // namespace ledbanner::soak

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  namespace soak = ledbanner::soak;
  if (const char* seed = std::getenv("LEDBANNER_SOAK_SEED"); seed != nullptr) {
    soak::ParseOption(std::string("--seed=") + seed);
  }
  if (const char* scale = std::getenv("LEDBANNER_SOAK_SCALE"); scale != nullptr) {
    soak::ParseOption(std::string("--scale=") + scale);
  }
  for (int i = 1; i < argc; ++i) {
    if (!soak::ParseOption(argv[i])) {
      std::fprintf(stderr, "usage: %s [--seed=N] [--scale=F] [--trace] [gtest flags]\n", argv[0]);
      return 2;
    }
  }
  return RUN_ALL_TESTS();
}
