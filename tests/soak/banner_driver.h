// A copy of the program on the in-memory window manager, driven by a stream of events, with the
// invariants that must hold after every one of them. Shared by the soak run and the fuzz target:
// the soak draws its events from a seeded generator, the fuzz target decodes them from bytes.
#pragma once

// Built with AddressSanitizer, which brings its own allocator and its own counters.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LEDBANNER_SOAK_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define LEDBANNER_SOAK_ASAN 1
#endif

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "platform/in_memory/in_memory_window_manager.h"

namespace ledbanner::testing {
class Banner;
}

namespace ledbanner::soak {

namespace pf = platform;

enum class EventKind : std::uint8_t {
  kTicks,               // a: number of timer periods
  kType,                // text typed key by key into whatever has the focus
  kPaste,               // text replacing the input box's content in one change
  kHotkey,              // a: 0 F1, 1 F2, 2 F3; b: repeat count (a held key)
  kClickTopmost,        // BM_CLICK on the check box
  kCreateShellWindow,   // a: what (see ShellPiece); b: picks a parent where one is needed
  kDestroyShellWindow,  // b: picks the victim among the live shell windows
  kArmEnumDestroy,      // a: position in the next enumeration; b: picks the victim
  kProgmanVanish,       // the shell destroys a "Progman" (the one the banner is locked on)
  kShellMood,           // a: 0 answers, 1 hung, 2 slow by b ms, 3 never spawns; b also picks
  kActivate,            // the banner's window is activated (the user clicks it)
  kDeactivate,          // another program takes the activation
  kEscape,              // Esc pressed: closes the window when it has the keyboard
  kCount,
};

// What kCreateShellWindow makes; its a is taken modulo kCount.
enum class ShellPiece : std::uint8_t {
  kProgman,        // "Progman" / "Program Manager" that spawns its workers on 0x052C
  kImpostor,       // "Progman" with another title
  kEmptyWorker,    // "WorkerW" without children, that closes on WM_CLOSE
  kHostWorker,     // "WorkerW" with a "SHELLDLL_DefView"
  kView,           // "SHELLDLL_DefView" under a picked shell window
  kOtherTopLevel,  // another program's window
  kOtherChild,     // a child of another class under a picked shell window
  kUsualLayout,    // Progman, the empty WorkerW and the host after it, in enumeration order
  kCount,
};

struct Event {
  EventKind kind = EventKind::kTicks;
  std::uint32_t a = 0;
  std::uint32_t b = 0;
  std::u16string text;
};

// Texts of every sort the input box may get.
namespace text {
// One UTF-16 unit or pair of the given class: 0 ASCII, 1 Chinese, 2 emoji, 3 a character GBK
// lacks, 4 a lone surrogate, 5 a control character, 6 the euro sign; `pick` chooses within it.
void AppendCharacter(std::u16string& out, unsigned characterClass, std::uint32_t pick);
// `length` units made by repeating `pattern` (the empty text when the pattern is empty).
std::u16string Repeat(std::u16string_view pattern, std::size_t length);
// A random text of about `length` units with the given mix of classes (bit i: class i allowed).
std::u16string Random(std::mt19937_64& rng, std::size_t length, unsigned classMask);
}  // namespace text

struct Counters {
  std::size_t windows = 0;
  std::size_t gdiObjects = 0;
  std::size_t dcs = 0;
  std::size_t timers = 0;
  std::size_t heapBytes = 0;
  std::int64_t allocations = 0;  // live blocks from operator new; -1 where not counted
};

// The longest text an edit may bring, in UTF-16 units (a paste of a megabyte).
inline constexpr std::size_t kLargestEdit = std::size_t{1} << 20;

// The heap in use by the whole process, in bytes.
std::size_t HeapInUse();
// Blocks handed out by operator new and not deleted yet; -1 under a sanitizer.
std::int64_t LiveAllocations();

struct Stats {
  std::uint64_t events = 0;
  std::uint64_t ticks = 0;
  std::uint64_t edits = 0;
  std::uint64_t editUnits = 0;
  std::uint64_t largestEdit = 0;
  std::uint64_t hotkeyPresses = 0;
  std::uint64_t topmostClicks = 0;
  std::uint64_t shellChanges = 0;
  std::uint64_t enumDestroys = 0;
  std::uint64_t progmanVanishes = 0;
  std::uint64_t restarts = 0;
  std::uint64_t locks = 0;  // F1 presses after which the banner was a child of Progman
  std::uint64_t workerCloses = 0;
  std::uint64_t enumerations = 0;
  std::uint64_t checkpoints = 0;
  Counters peak;
};

class BannerDriver {
 public:
  BannerDriver();
  BannerDriver(const BannerDriver&) = delete;
  BannerDriver& operator=(const BannerDriver&) = delete;
  BannerDriver(BannerDriver&&) = delete;
  BannerDriver& operator=(BannerDriver&&) = delete;
  ~BannerDriver();

  // Runs one event and checks every invariant. Returns the first violation, or "" when all hold.
  [[nodiscard]] std::string Apply(const Event& event);

  // Brings the copy to a fixed state (unlocked, not on top, a short text, no shell windows) and
  // reads the leak counters there. Returns a violation found on the way, or "".
  [[nodiscard]] std::string Settle(Counters& counters);

  // Ends the running copy and checks that it gave back every window, GDI object, DC and timer.
  [[nodiscard]] std::string Stop();

  [[nodiscard]] const Stats& GetStats() const { return stats_; }
  [[nodiscard]] Counters Current() const;

 private:
  struct EnumeratedWindow {
    pf::Hwnd hwnd = 0;
    bool alive = false;
    std::string className;  // ANSI, as the window manager reports it
  };

  void StartCopy();
  std::string EndCopy();
  [[nodiscard]] bool CopyGone() const;
  void Pump();
  std::string Run(const Event& event);
  std::string PressHotkey(std::uint32_t which, std::uint32_t repeat);
  void CreateShellPiece(std::uint32_t what, std::uint32_t pick);
  pf::Hwnd MakeForeign(std::u16string_view className, std::u16string_view title,
                       pf::Hwnd parent = 0);
  void MakeProgman(std::u16string_view title);
  void PruneForeign();
  [[nodiscard]] pf::Hwnd Pick(std::uint32_t pick, bool topLevelOnly) const;
  [[nodiscard]] bool IsBannerAncestor(pf::Hwnd hwnd) const;
  void OnEnumerated(pf::Hwnd hwnd);
  std::string CheckInvariants();
  std::string CheckCloses();
  void ClearLogs();

  std::unique_ptr<pf::InMemoryWindowManager> wm_;
  std::unique_ptr<testing::Banner> banner_;
  std::vector<pf::Hwnd> foreign_;               // live shell and other programs' windows
  std::map<pf::Hwnd, std::u16string> classOf_;  // every one made since the last Settle
  std::map<pf::Hwnd, bool> spawned_;            // Progman windows: workers already made
  std::map<pf::Hwnd, bool> neverSpawns_;        // Progman windows that ignore 0x052C
  std::vector<EnumeratedWindow> lastEnumeration_;
  std::vector<pf::Hwnd> closedInCopy_;  // sorted: every window sent WM_CLOSE in this copy
  std::size_t enumPosition_ = 0;
  std::optional<std::pair<std::uint32_t, std::uint32_t>> armedDestroy_;
  std::size_t emptyWindows_ = 0;  // the window manager's own, before the copy started
  std::size_t copyWindows_ = 0;   // the program's, once it had started
  Stats stats_;
};

// The event that the next bytes of a fuzz input stand for; advances data. Short inputs give
// short texts, and a few bytes can ask for a long repeated paste of up to maxPaste units.
Event DecodeEvent(const std::uint8_t*& data, std::size_t& size, std::size_t maxPaste);

}  // namespace ledbanner::soak
