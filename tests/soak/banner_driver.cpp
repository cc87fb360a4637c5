#include "banner_driver.h"

#include <algorithm>
#include <utility>

#include "banner_fixture.h"
#include "marquee/text_length.h"
#include "placement/desktop_embedding.h"
#include "placement/topmost.h"
#include "placement/window_snapshot.h"
#include "platform/win_constants.h"
#include "toolkit/form.h"

#if defined(LEDBANNER_SOAK_ASAN)
// From the sanitizers' allocator interface (declared here: not every compiler installs the header).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>

#endif

namespace ledbanner::soak {

namespace {

constexpr int kStripWidth = 440;
constexpr int kScrollerPoints = 48;
constexpr std::size_t kClassNameLimit = 63;
// What one node of a std::map<Hwnd, int> takes from malloc on a 64-bit system.
constexpr std::size_t kCloseRecordBytes = 64;

std::string Ansi(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char16_t unit : text) {
    out.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
  }
  return out;
}

std::string Num(std::int64_t value) { return std::to_string(value); }

// What the program must have made the scroller's width for a text of `bytes` GBK bytes.
int ExpectedWidth(std::size_t bytes) {
  const double width = static_cast<double>(kScrollerPoints) * static_cast<double>(bytes) * 0.67;
  return width >= static_cast<double>(toolkit::kMaxSize) ? toolkit::kMaxSize
                                                         : static_cast<int>(width);
}

std::uint8_t Byte(const std::uint8_t*& data, std::size_t& size) {
  if (size == 0) {
    return 0;
  }
  const std::uint8_t value = *data;
  ++data;
  --size;
  return value;
}

std::u16string DecodeText(const std::uint8_t*& data, std::size_t& size, std::size_t length) {
  std::u16string out;
  for (std::size_t i = 0; i < length && size > 0; ++i) {
    const unsigned characterClass = Byte(data, size);
    const std::uint32_t pick =
        Byte(data, size) | (static_cast<std::uint32_t>(Byte(data, size)) << 8);
    text::AppendCharacter(out, characterClass, pick);
  }
  return out;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Texts.

namespace text {

void AppendCharacter(std::u16string& out, unsigned characterClass, std::uint32_t pick) {
  switch (characterClass % 8) {
    case 0:
      out.push_back(static_cast<char16_t>(0x20 + pick % 95));
      break;
    case 1:
      out.push_back(static_cast<char16_t>(0x4E00 + pick % (0x9FA5 - 0x4E00 + 1)));
      break;
    case 2: {
      const std::uint32_t code = 0x1F300 + pick % 0x700 - 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
      break;
    }
    case 3:
      // Hangul syllables and Thai letters: GBK has neither.
      out.push_back(static_cast<char16_t>((pick & 1) != 0 ? 0xAC00 + (pick >> 1) % 11172
                                                          : 0x0E01 + (pick >> 1) % 0x2E));
      break;
    case 4:
      out.push_back(
          static_cast<char16_t>(((pick & 1) != 0 ? 0xD800 : 0xDC00) + (pick >> 1) % 0x400));
      break;
    case 5:
      out.push_back(static_cast<char16_t>(1 + pick % 31));
      break;
    case 6:
      out.push_back(u'\u20AC');
      break;
    default: {
      // Anything in the basic plane but NUL and the surrogates.
      std::uint32_t unit = 1 + pick % 0xFFFE;
      if (unit >= 0xD800 && unit <= 0xDFFF) {
        unit += 0x800;
      }
      out.push_back(static_cast<char16_t>(unit));
      break;
    }
  }
}

std::u16string Repeat(std::u16string_view pattern, std::size_t length) {
  std::u16string out;
  if (pattern.empty()) {
    return out;
  }
  out.reserve(length);
  while (out.size() < length) {
    out.append(pattern.substr(0, length - out.size()));
  }
  return out;
}

std::u16string Random(std::mt19937_64& rng, std::size_t length, unsigned classMask) {
  // Weights of the classes when allowed: mostly ASCII and Chinese.
  static constexpr unsigned kWeights[8] = {50, 25, 8, 6, 3, 2, 2, 4};
  unsigned total = 0;
  for (unsigned c = 0; c < 8; ++c) {
    total += ((classMask >> c) & 1U) != 0 ? kWeights[c] : 0;
  }
  std::u16string out;
  if (total == 0) {
    return out;
  }
  out.reserve(length + 1);
  while (out.size() < length) {
    const std::uint64_t draw = rng();
    unsigned roll = static_cast<unsigned>(draw % total);
    unsigned chosen = 0;
    for (unsigned c = 0; c < 8; ++c) {
      const unsigned weight = ((classMask >> c) & 1U) != 0 ? kWeights[c] : 0;
      if (roll < weight) {
        chosen = c;
        break;
      }
      roll -= weight;
    }
    AppendCharacter(out, chosen, static_cast<std::uint32_t>(draw >> 32));
  }
  return out;
}

}  // namespace text

std::size_t HeapInUse() {
#if defined(LEDBANNER_SOAK_ASAN)
  return __sanitizer_get_current_allocated_bytes();
#else
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
#endif
}

// ---------------------------------------------------------------------------------------------
// The driver.

BannerDriver::BannerDriver() { StartCopy(); }

BannerDriver::~BannerDriver() {
  if (banner_) {
    // The verdict was already given (or the run stopped early); just end the copy.
    banner_.reset();
  }
  wm_.reset();
  placement::windowList.Clear();
}

void BannerDriver::StartCopy() {
  wm_ = std::make_unique<pf::InMemoryWindowManager>();
  wm_->SetEnumWindowsHook([this](pf::Hwnd hwnd) { OnEnumerated(hwnd); });
  emptyWindows_ = wm_->LiveWindowCount();
  banner_ = std::make_unique<testing::Banner>(*wm_);
  banner_->Start();
  Pump();
  copyWindows_ = wm_->LiveWindowCount();
  ClearLogs();
}

std::string BannerDriver::EndCopy() {
  std::string error;
  banner_->Runtime().RunExitRoutines();
  banner_.reset();
  if (placement::windowList.Count() != 0) {
    error = "the exit routine left " +
            Num(static_cast<std::int64_t>(placement::windowList.Count())) + " snapshot entries";
  }
  const Counters left = Current();
  if (error.empty() && (left.windows != emptyWindows_ || left.gdiObjects != 0 || left.dcs != 0 ||
                        left.timers != 0)) {
    error = "a copy that ended left windows " + Num(static_cast<std::int64_t>(left.windows)) +
            " (of " + Num(static_cast<std::int64_t>(emptyWindows_)) + " before it), GDI objects " +
            Num(static_cast<std::int64_t>(left.gdiObjects)) + ", DCs " +
            Num(static_cast<std::int64_t>(left.dcs)) + ", timers " +
            Num(static_cast<std::int64_t>(left.timers));
  }
  wm_.reset();
  foreign_.clear();
  classOf_.clear();
  spawned_.clear();
  neverSpawns_.clear();
  lastEnumeration_.clear();
  closedInCopy_.clear();
  closedInCopy_.shrink_to_fit();
  armedDestroy_.reset();
  return error;
}

std::string BannerDriver::Stop() {
  if (!banner_) {
    return {};
  }
  return EndCopy();
}

bool BannerDriver::CopyGone() const { return !banner_->Form().Exists(); }

void BannerDriver::Pump() { banner_->Pump(); }

Counters BannerDriver::Current() const {
  Counters counters;
  if (wm_) {
    counters.windows = wm_->LiveWindowCount();
    counters.gdiObjects = wm_->LiveGdiObjectCount();
    counters.dcs = wm_->LiveDcCount();
    counters.timers = wm_->TimerCount();
  }
  return counters;
}

void BannerDriver::ClearLogs() {
  wm_->ClearMessageLog();
  wm_->ClearCallLog();
  wm_->ClearDrawLog();
}

std::string BannerDriver::Apply(const Event& event) {
  ++stats_.events;
  std::string error;
  try {
    error = Run(event);
    if (error.empty() && CopyGone()) {
      // The window went (its parent was destroyed, or Esc closed it): like the process, this copy
      // ends, and a fresh one takes its place.
      error = EndCopy();
      ++stats_.restarts;
      StartCopy();
      return error;
    }
  } catch (const pf::SimulationStop& stop) {
    return std::string("the simulation stopped: ") + stop.what();
  }
  if (!error.empty()) {
    return error;
  }
  return CheckInvariants();
}

std::string BannerDriver::Run(const Event& event) {
  const app::BannerWindow& w = banner_->Window();
  switch (event.kind) {
    case EventKind::kTicks: {
      const std::uint32_t count = std::max<std::uint32_t>(event.a, 1);
      toolkit::EditBox& scroller = w.编辑框2;
      for (std::uint32_t i = 0; i < count; ++i) {
        const int before = scroller.Left();
        wm_->AdvanceClock(pf::USER_TIMER_MINIMUM);
        Pump();
        ++stats_.ticks;
        const int after = scroller.Left();
        const int stepped = std::max(before - 4, toolkit::kMinPosition);
        if (after != stepped && after != kStripWidth) {
          return "a tick moved the scroller from " + Num(before) + " to " + Num(after);
        }
      }
      wm_->ClearDrawLog();
      return {};
    }
    case EventKind::kType:
      wm_->TypeText(event.text);
      Pump();
      ++stats_.edits;
      stats_.editUnits += event.text.size();
      return {};
    case EventKind::kPaste: {
      wm_->ReplaceEditText(w.编辑框1.Handle(), event.text);
      Pump();
      ++stats_.edits;
      stats_.editUnits += event.text.size();
      stats_.largestEdit = std::max<std::uint64_t>(stats_.largestEdit, event.text.size());
      if (wm_->Text(w.编辑框1.Handle()) != event.text) {
        return "the input box does not hold the pasted text of " +
               Num(static_cast<std::int64_t>(event.text.size())) + " units";
      }
      return {};
    }
    case EventKind::kHotkey:
      return PressHotkey(event.a, event.b);
    case EventKind::kClickTopmost: {
      const std::u16string before = w.选择框1.Caption();
      wm_->SendMessageW(w.选择框1.Handle(), pf::BM_CLICK, 0, 0);
      Pump();
      ++stats_.topmostClicks;
      const std::u16string expected = before == placement::kCaptionNormal
                                          ? std::u16string(placement::kCaptionOnTop)
                                          : std::u16string(placement::kCaptionNormal);
      if (w.选择框1.Caption() != expected) {
        return "a click on the check box did not toggle its caption";
      }
      return {};
    }
    case EventKind::kCreateShellWindow:
      CreateShellPiece(event.a, event.b);
      ++stats_.shellChanges;
      Pump();
      return {};
    case EventKind::kDestroyShellWindow: {
      const pf::Hwnd victim = Pick(event.b, false);
      if (victim != 0 && !IsBannerAncestor(victim)) {
        wm_->DestroyForeignWindow(victim);
        ++stats_.shellChanges;
      }
      Pump();
      return {};
    }
    case EventKind::kArmEnumDestroy:
      armedDestroy_ = std::make_pair(event.a % 16, event.b);
      return {};
    case EventKind::kProgmanVanish: {
      const pf::Hwnd parent = wm_->ParentOf(banner_->Form().Handle());
      if (parent != 0) {
        wm_->DestroyForeignWindow(parent);
        ++stats_.progmanVanishes;
        Pump();
        if (!CopyGone()) {
          return "the banner's window outlived the Progman it was a child of";
        }
        return {};
      }
      // Not locked: the shell restarts its desktop window, a change of layout.
      PruneForeign();
      for (const pf::Hwnd hwnd : foreign_) {
        if (wm_->ClassName(hwnd) == u"Progman") {
          wm_->DestroyForeignWindow(hwnd);
          ++stats_.shellChanges;
          break;
        }
      }
      Pump();
      return {};
    }
    case EventKind::kShellMood: {
      PruneForeign();
      std::vector<pf::Hwnd> progmans;
      for (const pf::Hwnd hwnd : foreign_) {
        if (wm_->ClassName(hwnd) == u"Progman") {
          progmans.push_back(hwnd);
        }
      }
      if (progmans.empty()) {
        return {};
      }
      const pf::Hwnd progman = progmans[event.b % progmans.size()];
      switch (event.a % 4) {
        case 0:
          wm_->SetHung(progman, false);
          wm_->SetResponseDelay(progman, 0);
          neverSpawns_[progman] = false;
          break;
        case 1:
          wm_->SetHung(progman, true);
          break;
        case 2:
          wm_->SetResponseDelay(progman, event.b % 1500);
          break;
        default:
          neverSpawns_[progman] = true;
          break;
      }
      return {};
    }
    case EventKind::kActivate:
      wm_->Activate(banner_->Form().Handle());
      Pump();
      return {};
    case EventKind::kDeactivate:
      wm_->DeactivateApp();
      Pump();
      return {};
    case EventKind::kEscape: {
      const pf::Hwnd focus = wm_->GetFocus();
      const bool ours = focus != 0 && banner_->Form().Contains(focus);
      wm_->PressKey(pf::VK_ESCAPE);
      Pump();
      if (ours && !CopyGone()) {
        return "Esc with the keyboard in the banner did not close it";
      }
      return {};
    }
    case EventKind::kCount:
      break;
  }
  return {};
}

std::string BannerDriver::PressHotkey(std::uint32_t which, std::uint32_t repeat) {
  static constexpr int kKeys[3] = {pf::VK_F1, pf::VK_F2, pf::VK_F3};
  const int key = kKeys[which % 3];
  repeat = std::clamp<std::uint32_t>(repeat, 1, 64);
  const app::BannerWindow& w = banner_->Window();
  const pf::Hwnd form = banner_->Form().Handle();
  const std::u16string captionBefore = w.选择框1.Caption();
  const bool armed = armedDestroy_.has_value();
  const bool desktopThere =
      wm_->FindWindowA(placement::kDesktopClass, placement::kDesktopTitle) != 0;
  wm_->PressKey(key, 0, static_cast<int>(repeat));
  Pump();
  ++stats_.hotkeyPresses;
  if (CopyGone()) {
    return {};
  }
  const pf::Hwnd parent = wm_->ParentOf(form);
  const int height = banner_->Form().Height();
  if (key == pf::VK_F1) {
    if (height != placement::kCompactHeight) {
      return "after F1 the window is " + Num(height) + " high";
    }
    if (parent != 0) {
      ++stats_.locks;
    } else if (desktopThere && !armed) {
      return "F1 with a desktop window there left the banner top-level";
    }
  } else if (key == pf::VK_F2) {
    if (height != placement::kFullHeight || parent != 0) {
      return "after F2 the window is " + Num(height) + " high with parent " +
             Num(static_cast<std::int64_t>(parent));
    }
    if (!banner_->Form().Contains(wm_->GetFocus())) {
      return "after F2 the keyboard focus is not in the banner";
    }
  } else {
    const bool toggled = (repeat % 2) == 1;
    const std::u16string other = captionBefore == placement::kCaptionNormal
                                     ? std::u16string(placement::kCaptionOnTop)
                                     : std::u16string(placement::kCaptionNormal);
    const std::u16string expected = toggled ? other : captionBefore;
    if (w.选择框1.Caption() != expected) {
      return "F3 held for " + Num(repeat) + " presses left the wrong caption";
    }
    const bool onTop = expected == placement::kCaptionOnTop;
    if (height != (onTop ? placement::kCompactHeight : placement::kFullHeight)) {
      return "after F3 the window is " + Num(height) + " high";
    }
    if (parent == 0 && wm_->IsTopmost(form) != onTop) {
      return "after F3 the topmost state does not match the caption";
    }
  }
  return {};
}

pf::Hwnd BannerDriver::MakeForeign(std::u16string_view className, std::u16string_view title,
                                   pf::Hwnd parent) {
  const pf::Hwnd hwnd = wm_->CreateForeignWindow(className, title, parent);
  if (hwnd != 0) {
    foreign_.push_back(hwnd);
    classOf_[hwnd] = std::u16string(className);
  }
  return hwnd;
}

void BannerDriver::MakeProgman(std::u16string_view title) {
  const pf::Hwnd progman = MakeForeign(u"Progman", title);
  if (progman == 0) {
    return;
  }
  MakeForeign(u"SHELLDLL_DefView", u"", progman);
  spawned_[progman] = false;
  // As the shell does on the first 0x052C: a worker hosting the view, with an empty one after it.
  wm_->SetForeignHandler(
      progman,
      [this, progman](pf::UInt message, pf::WParam, pf::LParam) -> std::optional<pf::LResult> {
        if (message != placement::kSpawnWorkerMessage) {
          return std::nullopt;
        }
        if (!spawned_[progman] && !neverSpawns_[progman]) {
          spawned_[progman] = true;
          const pf::Hwnd empty = MakeForeign(u"WorkerW", u"");
          wm_->SetClosesOnWmClose(empty, true);
          const pf::Hwnd host = MakeForeign(u"WorkerW", u"");
          MakeForeign(u"SHELLDLL_DefView", u"", host);
        }
        return 0;
      });
}

void BannerDriver::CreateShellPiece(std::uint32_t what, std::uint32_t pick) {
  switch (static_cast<ShellPiece>(what % static_cast<std::uint32_t>(ShellPiece::kCount))) {
    case ShellPiece::kProgman:
      MakeProgman(u"Program Manager");
      break;
    case ShellPiece::kImpostor:
      MakeForeign(u"Progman", u"Someone else");
      break;
    case ShellPiece::kEmptyWorker:
      wm_->SetClosesOnWmClose(MakeForeign(u"WorkerW", u""), true);
      break;
    case ShellPiece::kHostWorker:
      MakeForeign(u"SHELLDLL_DefView", u"", MakeForeign(u"WorkerW", u""));
      break;
    case ShellPiece::kView:
      if (const pf::Hwnd parent = Pick(pick, false); parent != 0) {
        MakeForeign(u"SHELLDLL_DefView", u"", parent);
      }
      break;
    case ShellPiece::kOtherTopLevel:
      MakeForeign(u"Notepad", u"unsaved work");
      break;
    case ShellPiece::kOtherChild:
      if (const pf::Hwnd parent = Pick(pick, false); parent != 0) {
        MakeForeign(u"Other", u"", parent);
      }
      break;
    case ShellPiece::kUsualLayout: {
      // Built from the bottom of the enumeration up: host, empty worker, Progman.
      MakeProgman(u"Program Manager");
      const pf::Hwnd progman = foreign_.size() >= 2 ? foreign_[foreign_.size() - 2] : 0;
      spawned_[progman] = true;
      wm_->SetClosesOnWmClose(MakeForeign(u"WorkerW", u""), true);
      MakeForeign(u"SHELLDLL_DefView", u"", MakeForeign(u"WorkerW", u""));
      break;
    }
    case ShellPiece::kCount:
      break;
  }
}

void BannerDriver::PruneForeign() {
  std::erase_if(foreign_, [this](pf::Hwnd hwnd) { return !wm_->IsWindow(hwnd); });
}

pf::Hwnd BannerDriver::Pick(std::uint32_t pick, bool topLevelOnly) const {
  std::vector<pf::Hwnd> live;
  for (const pf::Hwnd hwnd : foreign_) {
    if (wm_->IsWindow(hwnd) && (!topLevelOnly || wm_->ParentOf(hwnd) == 0)) {
      live.push_back(hwnd);
    }
  }
  return live.empty() ? 0 : live[pick % live.size()];
}

bool BannerDriver::IsBannerAncestor(pf::Hwnd hwnd) const {
  for (pf::Hwnd at = wm_->ParentOf(banner_->Form().Handle()); at != 0; at = wm_->ParentOf(at)) {
    if (at == hwnd) {
      return true;
    }
  }
  return false;
}

void BannerDriver::OnEnumerated(pf::Hwnd hwnd) {
  // The hook runs right after the program's callback stored the window: a list of one entry
  // means a new enumeration began.
  if (placement::windowList.Count() == 1) {
    lastEnumeration_.clear();
    enumPosition_ = 0;
    ++stats_.enumerations;
  }
  EnumeratedWindow seen;
  seen.hwnd = hwnd;
  seen.alive = wm_->IsWindow(hwnd);
  if (seen.alive) {
    seen.className = Ansi(wm_->ClassName(hwnd)).substr(0, kClassNameLimit);
  }
  lastEnumeration_.push_back(std::move(seen));
  if (armedDestroy_ && enumPosition_ == armedDestroy_->first) {
    const pf::Hwnd victim = Pick(armedDestroy_->second, false);
    if (victim != 0 && !IsBannerAncestor(victim)) {
      // The shell rearranges its windows after the snapshot was taken, before the scan.
      wm_->DestroyForeignWindow(victim);
      ++stats_.enumDestroys;
    }
    armedDestroy_.reset();
  }
  ++enumPosition_;
}

std::string BannerDriver::CheckCloses() {
  for (const pf::LoggedMessage& message : wm_->MessageLog()) {
    if (message.message != pf::WM_CLOSE) {
      continue;
    }
    // The window manager keeps a record for every window that ever got WM_CLOSE.
    if (const auto at = std::lower_bound(closedInCopy_.begin(), closedInCopy_.end(), message.hwnd);
        at == closedInCopy_.end() || *at != message.hwnd) {
      closedInCopy_.insert(at, message.hwnd);
    }
    const auto found = classOf_.find(message.hwnd);
    if (found == classOf_.end()) {
      continue;  // the banner's own window (Esc), not another program's
    }
    if (found->second != u"WorkerW") {
      return "WM_CLOSE was sent to a window of class " + Ansi(found->second);
    }
    ++stats_.workerCloses;
  }
  return {};
}

std::string BannerDriver::CheckInvariants() {
  const app::BannerWindow& w = banner_->Window();
  const pf::Hwnd form = banner_->Form().Handle();

  const std::u16string caption = w.选择框1.Caption();
  if (caption != placement::kCaptionNormal && caption != placement::kCaptionOnTop) {
    return "the check box's caption is " + Ansi(caption);
  }
  if (wm_->Text(w.选择框1.Handle()) != caption) {
    return "the check box shows another text than its caption";
  }
  const int height = banner_->Form().Height();
  if (height != placement::kCompactHeight && height != placement::kFullHeight) {
    return "the window is " + Num(height) + " high";
  }
  const pf::Hwnd parent = wm_->ParentOf(form);
  if (parent != 0 && wm_->ClassName(parent) != u"Progman") {
    return "the banner's parent is of class " + Ansi(wm_->ClassName(parent));
  }

  const int left = w.编辑框2.Left();
  if (left < toolkit::kMinPosition || left > kStripWidth) {
    return "the scroller's left edge is at " + Num(left);
  }
  {
    const std::u16string shown = wm_->Text(w.编辑框2.Handle());
    if (shown != wm_->Text(w.编辑框1.Handle())) {
      return "the scroller does not show the input box's text";
    }
    const std::size_t bytes = marquee::GbkByteLength(shown);
    const int width = w.编辑框2.Width();
    if (width != ExpectedWidth(bytes)) {
      return "the scroller is " + Num(width) + " wide for a text of " +
             Num(static_cast<std::int64_t>(bytes)) + " GBK bytes (expected " +
             Num(ExpectedWidth(bytes)) + ")";
    }
  }

  // The snapshot is exactly what the last enumeration reported, in its order.
  const std::size_t count = placement::windowList.Count();
  if (count != lastEnumeration_.size()) {
    return "the window snapshot holds " + Num(static_cast<std::int64_t>(count)) +
           " entries, the last enumeration reported " +
           Num(static_cast<std::int64_t>(lastEnumeration_.size()));
  }
  for (std::size_t i = 0; i < count; ++i) {
    const placement::WindowEntry* entry = placement::windowList.Entry(i + 1);
    const EnumeratedWindow& seen = lastEnumeration_[i];
    if (entry == nullptr || entry->hwnd != seen.hwnd) {
      return "snapshot entry " + Num(static_cast<std::int64_t>(i + 1)) +
             " is not the enumeration's window";
    }
    if (seen.alive && entry->className != seen.className) {
      return "snapshot entry " + Num(static_cast<std::int64_t>(i + 1)) + " has class '" +
             entry->className.value_or("(none)") + "', the window's is '" + seen.className + "'";
    }
  }
  if (placement::windowList.Entry(count + 1) != nullptr ||
      placement::windowList.Entry(0) != nullptr) {
    return "the snapshot gives an entry outside 1 .. Count()";
  }

  if (std::string error = CheckCloses(); !error.empty()) {
    return error;
  }
  if (!wm_->MessageBoxes().empty()) {
    return "a message box appeared: " + Ansi(wm_->MessageBoxes().front().text);
  }

  const Counters now = Current();
  if (now.windows != copyWindows_) {
    return "the program has " + Num(static_cast<std::int64_t>(now.windows)) + " windows, not " +
           Num(static_cast<std::int64_t>(copyWindows_));
  }
  if (now.timers != 1) {
    return Num(static_cast<std::int64_t>(now.timers)) + " timers run, not 1";
  }
  stats_.peak.windows = std::max(stats_.peak.windows, now.windows);
  stats_.peak.gdiObjects = std::max(stats_.peak.gdiObjects, now.gdiObjects);
  stats_.peak.dcs = std::max(stats_.peak.dcs, now.dcs);
  stats_.peak.timers = std::max(stats_.peak.timers, now.timers);
  ClearLogs();
  return {};
}

std::string BannerDriver::Settle(Counters& counters) {
  ++stats_.checkpoints;
  armedDestroy_.reset();
  try {
    const app::BannerWindow& w = banner_->Window();
    const pf::Hwnd input = w.编辑框1.Handle();
    const auto ticks = [this](int count) {
      for (int i = 0; i < count; ++i) {
        wm_->AdvanceClock(pf::USER_TIMER_MINIMUM);
        Pump();
      }
    };
    wm_->Activate(banner_->Form().Handle());
    wm_->PressKey(pf::VK_F2);
    Pump();
    if (w.选择框1.Caption() == placement::kCaptionOnTop) {
      wm_->PressKey(pf::VK_F3);
      Pump();
    }
    PruneForeign();
    for (const pf::Hwnd hwnd : std::vector<pf::Hwnd>(foreign_)) {
      if (wm_->IsWindow(hwnd) && wm_->ParentOf(hwnd) == 0) {
        wm_->DestroyForeignWindow(hwnd);
      }
    }
    // Every buffer that holds the text grows to what the largest edit needs, so that what the
    // heap holds at a checkpoint does not depend on which edits came before it.
    wm_->ReplaceEditText(input, std::u16string(kLargestEdit, u'x'));
    Pump();
    ticks(1);
    wm_->SetFocus(input);
    wm_->TypeText(u"y");
    Pump();
    ticks(1);
    wm_->ReplaceEditText(input, u"soak");
    Pump();
    ticks(3);
    // The snapshot of a one-window desktop, so that its size does not depend on the last lock.
    const pf::Hwnd progman = wm_->CreateForeignWindow(u"Progman", u"Program Manager");
    wm_->PressKey(pf::VK_F1);
    Pump();
    wm_->PressKey(pf::VK_F2);
    Pump();
    wm_->DestroyForeignWindow(progman);
    ticks(1);
  } catch (const pf::SimulationStop& stop) {
    return std::string("the simulation stopped: ") + stop.what();
  }
  if (CopyGone()) {
    return "the banner's window went while it was being settled";
  }
  std::string error = CheckInvariants();
  foreign_.clear();
  foreign_.shrink_to_fit();
  classOf_.clear();
  spawned_.clear();
  neverSpawns_.clear();
  counters = Current();
  counters.heapBytes = HeapInUse();
  // Less the window manager's close records (one map node each), which stay as long as the copy
  // runs.
  const std::size_t records = closedInCopy_.size();
  counters.heapBytes =
      counters.heapBytes - std::min(counters.heapBytes, records * kCloseRecordBytes);
  counters.allocations =
      LiveAllocations() < 0 ? -1 : LiveAllocations() - static_cast<std::int64_t>(records);
  stats_.peak.heapBytes = std::max(stats_.peak.heapBytes, counters.heapBytes);
  stats_.peak.allocations = std::max(stats_.peak.allocations, counters.allocations);
  return error;
}

// ---------------------------------------------------------------------------------------------
// Fuzz input.

Event DecodeEvent(const std::uint8_t*& data, std::size_t& size, std::size_t maxPaste) {
  Event event;
  event.kind = static_cast<EventKind>(Byte(data, size) % static_cast<unsigned>(EventKind::kCount));
  switch (event.kind) {
    case EventKind::kTicks:
      event.a = 1 + Byte(data, size) % 64;
      break;
    case EventKind::kType:
      event.text = DecodeText(data, size, Byte(data, size) % 16);
      break;
    case EventKind::kPaste: {
      const std::uint8_t mode = Byte(data, size);
      if (mode % 8 == 7) {
        // A long paste: a short pattern repeated to a length of up to maxPaste units.
        const std::size_t length =
            std::min<std::size_t>((static_cast<std::size_t>(Byte(data, size)) |
                                   (static_cast<std::size_t>(Byte(data, size)) << 8)) *
                                      16,
                                  maxPaste);
        const std::u16string pattern = DecodeText(data, size, 1 + mode / 8 % 8);
        event.text = text::Repeat(pattern, length);
      } else {
        event.text = DecodeText(data, size, mode / 4 % 32);
      }
      break;
    }
    case EventKind::kHotkey: {
      event.a = Byte(data, size) % 3;
      const std::uint8_t repeat = Byte(data, size);
      event.b = repeat < 240 ? 1 + repeat % 4 : 1 + repeat % 32;
      break;
    }
    default:
      event.a = Byte(data, size);
      event.b = Byte(data, size);
      break;
  }
  return event;
}

}  // namespace ledbanner::soak
