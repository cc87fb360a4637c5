// Messages, the queue and the virtual clock, timers, focus and activation, and test input.
#include <algorithm>
#include <cstring>

#include "platform/in_memory/extra_constants.h"
#include "platform/in_memory/geometry.h"
#include "platform/in_memory/in_memory_window_manager.h"
#include "platform/win_constants.h"

namespace ledbanner::platform {

using geometry::MakeLParam;

namespace {

// A window procedure that never validates would get WM_PAINT forever; stop the test instead.
constexpr int kPaintLoopLimit = 10000;

}  // namespace

void InMemoryWindowManager::RecordCall(std::string function, Hwnd hwnd,
                                       std::vector<std::intptr_t> args, std::u16string text) {
  callLog_.push_back({std::move(function), hwnd, std::move(args), std::move(text)});
}

bool InMemoryWindowManager::IsFailing(std::string_view function) const {
  return failing_.find(function) != failing_.end();
}

void InMemoryWindowManager::SetFailing(std::string_view function, bool failing) {
  if (failing) {
    failing_.emplace(function);
  } else if (const auto it = failing_.find(function); it != failing_.end()) {
    failing_.erase(it);
  }
}

void InMemoryWindowManager::SetBufferNotWritten(std::string_view function, bool notWritten) {
  if (notWritten) {
    bufferNotWritten_.emplace(function);
  } else if (const auto it = bufferNotWritten_.find(function); it != bufferNotWritten_.end()) {
    bufferNotWritten_.erase(it);
  }
}

// ---- Sending ----

LResult InMemoryWindowManager::Send(Hwnd hwnd, UInt message, WParam wParam, LParam lParam) {
  const Window* window = Find(hwnd);
  if (window == nullptr || window->proc == nullptr) {
    return 0;
  }
  const WndProc proc = window->proc;
  const CurrentScope scope(this);
  return proc(hwnd, message, wParam, lParam);
}

void InMemoryWindowManager::Log(Hwnd hwnd, UInt message, WParam wParam, LParam lParam,
                                const char* via) {
  messageLog_.push_back({hwnd, message, wParam, lParam, via});
  if (message == WM_CLOSE) {
    ++closeRequests_[hwnd];
  }
}

int InMemoryWindowManager::CloseRequests(Hwnd hwnd) const {
  const auto it = closeRequests_.find(hwnd);
  return it == closeRequests_.end() ? 0 : it->second;
}

LResult InMemoryWindowManager::SendMessageW(Hwnd hwnd, UInt message, WParam wParam, LParam lParam) {
  Log(hwnd, message, wParam, lParam, "SendMessageW");
  return Send(hwnd, message, wParam, lParam);
}

LResult InMemoryWindowManager::DefWindowProcW(Hwnd hwnd, UInt message, WParam wParam,
                                              LParam lParam) {
  return DefProc(hwnd, message, wParam, lParam);
}

LResult InMemoryWindowManager::DefProc(Hwnd hwnd, UInt message, WParam wParam, LParam lParam) {
  Window* window = Find(hwnd);
  if (window == nullptr) {
    return 0;
  }
  switch (message) {
    case WM_NCCREATE:
      return 1;
    case WM_SETTEXT: {
      // Message parameters carry pointers, as in Windows.
      const auto* text =
          reinterpret_cast<const char16_t*>(lParam);  // NOLINT(performance-no-int-to-ptr)
      window->text = text == nullptr ? std::u16string{} : std::u16string(text);
      window->ansiTitle.reset();
      return 1;
    }
    case WM_GETTEXTLENGTH:
      return static_cast<LResult>(window->text.size());
    case WM_GETTEXT: {
      auto* buffer = reinterpret_cast<char16_t*>(lParam);  // NOLINT(performance-no-int-to-ptr)
      if (buffer == nullptr || wParam == 0) {
        return 0;
      }
      const std::size_t count = std::min<std::size_t>(wParam - 1, window->text.size());
      std::copy_n(window->text.begin(), count, buffer);
      buffer[count] = u'\0';
      return static_cast<LResult>(count);
    }
    case WM_CLOSE:
      DestroyImpl(hwnd);
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) {
        Send(hwnd, WM_CLOSE, 0, 0);
      } else if ((wParam & 0xFFF0) == SC_MOVE) {
        ++window->moveLoops;  // the modal move loop itself is not simulated
      }
      return 0;
    case WM_NCLBUTTONDOWN:
      if (static_cast<LResult>(wParam) == HTCAPTION) {
        Send(hwnd, WM_SYSCOMMAND, SC_MOVE | static_cast<WParam>(HTCAPTION), lParam);
      }
      return 0;
    case WM_SYSKEYDOWN:
      // Alt+F4 closes the top-level window.
      if (static_cast<int>(wParam) == extra::VK_F4 && (lParam & (1 << 29)) != 0) {
        Send(Root(hwnd), WM_SYSCOMMAND, SC_CLOSE, 0);
      }
      return 0;
    case WM_NCHITTEST: {
      const Point point = geometry::PointFromLParam(lParam);
      const Rect screen = ScreenRect(hwnd);
      if (!geometry::Contains(screen, point)) {
        return HTNOWHERE;
      }
      const Point origin = ClientOrigin(hwnd);
      const Rect client = geometry::Offset(ClientSize(*window), origin.x, origin.y);
      if (geometry::Contains(client, point)) {
        return HTCLIENT;
      }
      if ((window->style & WS_CAPTION) == WS_CAPTION && point.y < client.top &&
          point.y >= screen.top + window->frame.left) {
        return HTCAPTION;
      }
      return extra::HTBORDER;
    }
    case WM_PAINT: {
      PaintStruct paint;
      BeginPaint(hwnd, &paint);
      EndPaint(hwnd, paint);
      return 0;
    }
    case WM_ERASEBKGND: {
      const ClassRecord* record = FindClass(window->className);
      const Hgdiobj brush = record == nullptr ? 0 : record->windowClass.background;
      const BrushColor color = ResolveBrush(brush);
      if (brush == 0 || !color.valid) {
        return 0;
      }
      FillRect(static_cast<Hdc>(wParam), ClientSize(*window), brush);
      return 1;
    }
    case WM_ACTIVATE:
      if ((wParam & 0xFFFF) != WA_INACTIVE) {
        SetFocusImpl(hwnd);
      }
      return 0;
    case WM_SETCURSOR: {
      // A child lets its parent decide first; then the class cursor shows over the client area.
      if ((window->style & WS_CHILD) != 0 &&
          Send(window->parent, WM_SETCURSOR, wParam, lParam) != 0) {
        return 1;
      }
      if ((lParam & 0xFFFF) == HTCLIENT) {
        if (const ClassRecord* record = FindClass(window->className)) {
          currentCursor_ = record->windowClass.cursor;
        }
      }
      return 0;
    }
    case WM_MOUSEACTIVATE:
      // A child lets its parent decide first.
      if ((window->style & WS_CHILD) != 0) {
        const LResult parentAnswer = Send(window->parent, WM_MOUSEACTIVATE, wParam, lParam);
        if (parentAnswer != 0) {
          return parentAnswer;
        }
      }
      return extra::MA_ACTIVATE;
    case WM_CTLCOLOREDIT:
      SetTextColor(static_cast<Hdc>(wParam), GetSysColor(extra::COLOR_WINDOWTEXT));
      SetBkColor(static_cast<Hdc>(wParam), GetSysColor(extra::COLOR_WINDOW));
      return static_cast<LResult>(windowBrush_);
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      SetTextColor(static_cast<Hdc>(wParam), GetSysColor(extra::COLOR_WINDOWTEXT));
      SetBkColor(static_cast<Hdc>(wParam), GetSysColor(COLOR_BTNFACE));
      return static_cast<LResult>(buttonFaceBrush_);
    case WM_SETICON: {
      Hicon& slot = wParam == ICON_SMALL ? window->iconSmall : window->iconBig;
      const Hicon previous = slot;
      slot = static_cast<Hicon>(lParam);
      return static_cast<LResult>(previous);
    }
    case extra::WM_GETICON:
      return static_cast<LResult>(wParam == ICON_SMALL ? window->iconSmall : window->iconBig);
    default:
      return 0;
  }
}

// ---- Posting and the queue ----

bool InMemoryWindowManager::PostImpl(Hwnd hwnd, UInt message, WParam wParam, LParam lParam,
                                     const char* via) {
  const Window* window = Find(hwnd);
  if (hwnd != 0 && window == nullptr) {
    return false;
  }
  Log(hwnd, message, wParam, lParam, via);
  // Another program's loop takes its messages at once; ours stay queued.
  if (window != nullptr && window->foreign) {
    Send(hwnd, message, wParam, lParam);
    return true;
  }
  Msg msg;
  msg.hwnd = hwnd;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  msg.time = static_cast<UInt>(now_);
  msg.pt = cursor_;
  posted_.push_back(msg);
  return true;
}

bool InMemoryWindowManager::PostMessageW(Hwnd hwnd, UInt message, WParam wParam, LParam lParam) {
  return PostImpl(hwnd, message, wParam, lParam, "PostMessageW");
}

void InMemoryWindowManager::PostQuitMessage(int exitCode) {
  quitPending_ = true;
  quitCode_ = exitCode;
}

void InMemoryWindowManager::DrainHotkeys() {
  for (Msg msg : hotkeys_->TakePending(hotkeyOwner_)) {
    if (msg.hwnd != 0 && Find(msg.hwnd) == nullptr) {
      continue;
    }
    msg.time = static_cast<UInt>(now_);
    msg.pt = cursor_;
    Log(msg.hwnd, msg.message, msg.wParam, msg.lParam, "hotkey");
    posted_.push_back(msg);
  }
}

bool InMemoryWindowManager::FilterMatches(const Msg& msg, Hwnd hwnd, UInt filterMin,
                                          UInt filterMax) const {
  if (hwnd == static_cast<Hwnd>(-1)) {
    if (msg.hwnd != 0) {
      return false;
    }
  } else if (hwnd != 0 && msg.hwnd != hwnd && !IsDescendant(hwnd, msg.hwnd)) {
    return false;
  }
  if (filterMin == 0 && filterMax == 0) {
    return true;
  }
  return msg.message >= filterMin && msg.message <= filterMax;
}

bool InMemoryWindowManager::TakeMessage(Msg* msg, Hwnd hwnd, UInt filterMin, UInt filterMax,
                                        bool remove) {
  DrainHotkeys();
  const auto stamp = [&](Hwnd target, UInt message, WParam wParam) {
    Msg result;
    result.hwnd = target;
    result.message = message;
    result.wParam = wParam;
    result.time = static_cast<UInt>(now_);
    result.pt = cursor_;
    return result;
  };
  for (auto it = posted_.begin(); it != posted_.end(); ++it) {
    if (!FilterMatches(*it, hwnd, filterMin, filterMax)) {
      continue;
    }
    *msg = *it;
    if (remove) {
      posted_.erase(it);
    }
    samePaintCount_ = 0;
    return true;
  }
  // WM_QUIT passes any filter, once no posted message is left.
  if (quitPending_) {
    *msg = stamp(0, WM_QUIT, static_cast<WParam>(quitCode_));
    if (remove) {
      quitPending_ = false;
    }
    return true;
  }
  for (const auto& [handle, window] : windows_) {
    if (!window->hasUpdate || window->foreign || !IsVisibleImpl(handle)) {
      continue;
    }
    const Msg paint = stamp(handle, WM_PAINT, 0);
    if (!FilterMatches(paint, hwnd, filterMin, filterMax)) {
      continue;
    }
    *msg = paint;
    if (remove) {
      samePaintCount_ = (lastPainted_ == handle) ? samePaintCount_ + 1 : 1;
      lastPainted_ = handle;
      if (samePaintCount_ > kPaintLoopLimit) {
        throw MessageLoopStalled("a window keeps getting WM_PAINT without validating");
      }
    }
    return true;
  }
  Timer* chosen = nullptr;
  for (Timer& timer : timers_) {
    if (timer.due > now_) {
      continue;
    }
    Msg tick = stamp(timer.hwnd, WM_TIMER, timer.id);
    if (!FilterMatches(tick, hwnd, filterMin, filterMax)) {
      continue;
    }
    if (chosen == nullptr || timer.due < chosen->due) {
      chosen = &timer;
    }
  }
  if (chosen != nullptr) {
    *msg = stamp(chosen->hwnd, WM_TIMER, chosen->id);
    // One pending tick at most: missed periods are dropped, the next counts from now.
    if (remove) {
      chosen->due = now_ + chosen->period;
    }
    samePaintCount_ = 0;
    return true;
  }
  return false;
}

std::optional<std::uint64_t> InMemoryWindowManager::NextTimerDue(Hwnd hwnd) const {
  std::optional<std::uint64_t> next;
  for (const Timer& timer : timers_) {
    if (hwnd != 0 && timer.hwnd != hwnd && !IsDescendant(hwnd, timer.hwnd)) {
      continue;
    }
    if (!next || timer.due < *next) {
      next = timer.due;
    }
  }
  return next;
}

int InMemoryWindowManager::GetMessageW(Msg* msg, Hwnd hwnd, UInt filterMin, UInt filterMax) {
  if (msg == nullptr) {
    return -1;
  }
  bool idleCalled = false;
  for (;;) {
    if (TakeMessage(msg, hwnd, filterMin, filterMax, true)) {
      return msg->message == WM_QUIT ? 0 : 1;
    }
    if (!idleCalled && idleHook_) {
      idleCalled = true;
      const std::function<void()> hook = idleHook_;  // the hook may replace itself
      hook();
      continue;
    }
    const std::optional<std::uint64_t> due = NextTimerDue(hwnd);
    if (!due) {
      throw MessageLoopStalled("GetMessageW: no message, no paint and no timer");
    }
    if (runLimit_ && *due > *runLimit_) {
      now_ = std::max(now_, *runLimit_);
      throw RunLimitReached("GetMessageW: the clock would pass the run limit");
    }
    now_ = std::max(now_, *due);
  }
}

bool InMemoryWindowManager::PeekMessageW(Msg* msg, Hwnd hwnd, UInt filterMin, UInt filterMax,
                                         UInt removeFlags) {
  if (msg == nullptr) {
    return false;
  }
  return TakeMessage(msg, hwnd, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0);
}

bool InMemoryWindowManager::TranslateMessage(const Msg& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) {
    return false;
  }
  const int key = static_cast<int>(msg.wParam);
  const bool shift = heldKeys_.count(VK_SHIFT) != 0;
  const bool control = heldKeys_.count(VK_CONTROL) != 0;
  char16_t character = 0;
  if (key >= 'A' && key <= 'Z') {
    if (control) {
      character = static_cast<char16_t>(key - 'A' + 1);
    } else {
      character = static_cast<char16_t>(shift ? key : key - 'A' + 'a');
    }
  } else if (key >= '0' && key <= '9' && !control) {
    character = static_cast<char16_t>(key);
  } else if (key == VK_SPACE) {
    character = u' ';
  } else if (key == extra::VK_BACK) {
    character = 0x08;
  } else if (key == VK_TAB) {
    character = u'\t';
  } else if (key == VK_RETURN) {
    character = u'\r';
  } else if (key == VK_ESCAPE) {
    character = 0x1B;
  }
  if (character == 0) {
    return false;
  }
  // The character comes next, ahead of everything already queued (the key-up among them).
  Msg translated = msg;
  translated.message = msg.message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
  translated.wParam = character;
  posted_.push_front(translated);
  return true;
}

LResult InMemoryWindowManager::DispatchMessageW(const Msg& msg) {
  if (msg.hwnd == 0) {
    return 0;
  }
  return Send(msg.hwnd, msg.message, msg.wParam, msg.lParam);
}

// ---- The clock and timers ----

void InMemoryWindowManager::SetIdleHook(std::function<void()> hook) { idleHook_ = std::move(hook); }

void InMemoryWindowManager::SetRunLimit(std::optional<std::uint64_t> ms) { runLimit_ = ms; }

void InMemoryWindowManager::AdvanceClock(std::uint64_t ms) { now_ += ms; }

std::optional<UInt> InMemoryWindowManager::TimerInterval(Hwnd hwnd, std::uintptr_t id) const {
  for (const Timer& timer : timers_) {
    if (timer.hwnd == hwnd && timer.id == id) {
      return timer.period;
    }
  }
  return std::nullopt;
}

std::uintptr_t InMemoryWindowManager::SetTimer(Hwnd hwnd, std::uintptr_t id, UInt elapseMs) {
  RecordCall("SetTimer", hwnd,
             {static_cast<std::intptr_t>(id), static_cast<std::intptr_t>(elapseMs)});
  if (IsFailing("SetTimer")) {
    return 0;
  }
  if (hwnd != 0 && Find(hwnd) == nullptr) {
    return 0;
  }
  const UInt period = std::clamp<UInt>(elapseMs, USER_TIMER_MINIMUM, 0x7FFFFFFF);
  const auto existing = std::find_if(timers_.begin(), timers_.end(), [&](const Timer& timer) {
    return timer.hwnd == hwnd && timer.id == id;
  });
  if (existing != timers_.end()) {
    existing->period = period;
    existing->due = now_ + period;
    return hwnd == 0 ? id : (id == 0 ? 1 : id);
  }
  // A thread timer gets an identifier of its own.
  if (hwnd == 0) {
    id = NewHandle();
  }
  timers_.push_back({hwnd, id, period, now_ + period});
  return hwnd == 0 ? id : (id == 0 ? 1 : id);
}

bool InMemoryWindowManager::KillTimer(Hwnd hwnd, std::uintptr_t id) {
  RecordCall("KillTimer", hwnd, {static_cast<std::intptr_t>(id)});
  return std::erase_if(
             timers_, [&](const Timer& timer) { return timer.hwnd == hwnd && timer.id == id; }) > 0;
}

// ---- Focus and activation ----

Hwnd InMemoryWindowManager::SetFocus(Hwnd hwnd) {
  RecordCall("SetFocus", hwnd, {});
  return SetFocusImpl(hwnd);
}

Hwnd InMemoryWindowManager::SetFocusImpl(Hwnd hwnd) {
  const Hwnd previous = focus_;
  if (hwnd == 0) {
    if (focus_ != 0) {
      focus_ = 0;
      Send(previous, WM_KILLFOCUS, 0, 0);
    }
    return previous;
  }
  if (Find(hwnd) == nullptr || hwnd == desktop_) {
    return 0;
  }
  if (hwnd == focus_) {
    return previous;
  }
  const Hwnd top = Root(hwnd);
  if (top != active_) {
    ActivateImpl(top, WA_ACTIVE);
    if (Find(hwnd) == nullptr || focus_ == hwnd) {
      return previous;
    }
  }
  const Hwnd old = focus_;
  if (old != 0) {
    Send(old, WM_KILLFOCUS, hwnd, 0);
    if (focus_ != old || Find(hwnd) == nullptr) {
      return previous;  // the handler moved it
    }
  }
  focus_ = hwnd;
  Send(hwnd, WM_SETFOCUS, old, 0);
  return previous;
}

void InMemoryWindowManager::ActivateImpl(Hwnd top, WParam how, bool raise) {
  if (top == 0 || top == active_ || Find(top) == nullptr) {
    return;
  }
  const Hwnd old = active_;
  active_ = top;
  if (raise) {
    PlaceInBand(top, true);  // activation brings a window to the top of its band
  }
  if (old != 0 && Find(old) != nullptr) {
    Send(old, WM_ACTIVATE, WA_INACTIVE, static_cast<LParam>(top));
    if (active_ != top) {
      return;
    }
  }
  Send(top, WM_ACTIVATE, how, static_cast<LParam>(old));
  // The focus cannot stay in a window that is no longer active.
  if (focus_ != 0 && Root(focus_) != active_) {
    SetFocusImpl(0);
  }
}

void InMemoryWindowManager::DeactivateImpl() {
  const Hwnd old = active_;
  if (old != 0) {
    active_ = 0;
    Send(old, WM_ACTIVATE, WA_INACTIVE, 0);
  }
  SetFocusImpl(0);
}

Hwnd InMemoryWindowManager::GetFocus() {
  // Another program's windows are invisible to GetFocus and GetActiveWindow.
  const Window* window = Find(focus_);
  return (window == nullptr || window->foreign) ? 0 : focus_;
}

Hwnd InMemoryWindowManager::GetActiveWindow() {
  const Window* window = Find(active_);
  return (window == nullptr || window->foreign) ? 0 : active_;
}

bool InMemoryWindowManager::SetForegroundWindow(Hwnd hwnd) {
  if (Find(hwnd) == nullptr || hwnd == desktop_) {
    return false;
  }
  ActivateImpl(Root(hwnd), WA_ACTIVE);
  return true;
}

void InMemoryWindowManager::Activate(Hwnd hwnd) { ActivateImpl(Root(hwnd), WA_ACTIVE); }

void InMemoryWindowManager::DeactivateApp() { DeactivateImpl(); }

// ---- Keyboard, hotkeys and mouse ----

std::int16_t InMemoryWindowManager::GetKeyState(int virtualKey) {
  return heldKeys_.count(virtualKey) != 0 ? static_cast<std::int16_t>(-0x8000) : 0;
}

bool InMemoryWindowManager::RegisterHotKey(Hwnd hwnd, int id, UInt modifiers, UInt virtualKey) {
  RecordCall("RegisterHotKey", hwnd,
             {id, static_cast<std::intptr_t>(modifiers), static_cast<std::intptr_t>(virtualKey)});
  if (IsFailing("RegisterHotKey")) {
    return false;
  }
  if (hwnd != 0 && Find(hwnd) == nullptr) {
    return false;
  }
  return hotkeys_->Register(hotkeyOwner_, hwnd, id, modifiers, virtualKey);
}

bool InMemoryWindowManager::UnregisterHotKey(Hwnd hwnd, int id) {
  return hotkeys_->Unregister(hotkeyOwner_, hwnd, id);
}

void InMemoryWindowManager::HoldHotkeyElsewhere(UInt modifiers, UInt virtualKey) {
  hotkeys_->Register(0, 0, 0, modifiers, virtualKey);
}

Hwnd InMemoryWindowManager::InputTarget() const { return focus_ != 0 ? focus_ : active_; }

void InMemoryWindowManager::PostInput(Hwnd hwnd, UInt message, WParam wParam, LParam lParam) {
  PostImpl(hwnd, message, wParam, lParam, "input");
}

void InMemoryWindowManager::PressKey(int virtualKey, UInt modifiers, int repeat) {
  heldKeys_.clear();
  repeat = std::max(repeat, 1);
  if (hotkeys_->Press(modifiers, static_cast<UInt>(virtualKey), repeat)) {
    DrainHotkeys();
    return;
  }
  if ((modifiers & MOD_CONTROL) != 0) {
    heldKeys_.insert(VK_CONTROL);
  }
  if ((modifiers & MOD_SHIFT) != 0) {
    heldKeys_.insert(VK_SHIFT);
  }
  if ((modifiers & MOD_ALT) != 0) {
    heldKeys_.insert(VK_MENU);
  }
  const Hwnd target = InputTarget();
  if (target == 0) {
    return;
  }
  const bool alt = (modifiers & MOD_ALT) != 0;
  const LParam context = alt ? (1 << 29) : 0;
  const auto key = static_cast<WParam>(virtualKey);
  for (int i = 0; i < repeat; ++i) {
    // Bit 30 tells an auto-repeated key-down from the first one.
    PostInput(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, 1 | context | (i > 0 ? 1 << 30 : 0));
  }
  PostInput(target, alt ? WM_SYSKEYUP : WM_KEYUP, key, static_cast<LParam>(0xC0000001U) | context);
}

void InMemoryWindowManager::ReleaseKeys() { heldKeys_.clear(); }

void InMemoryWindowManager::TypeText(std::u16string_view text) {
  const Hwnd target = InputTarget();
  if (target == 0) {
    return;
  }
  for (const char16_t unit : text) {
    PostInput(target, WM_CHAR, unit, 1);
  }
}

InMemoryWindowManager::Hit InMemoryWindowManager::HitTest(const std::vector<Hwnd>& siblings,
                                                          Point screen, bool topLevel) {
  for (const Hwnd hwnd : std::vector<Hwnd>(siblings)) {
    const Window* window = Find(hwnd);
    if (window == nullptr || (window->style & WS_VISIBLE) == 0) {
      continue;
    }
    if (!geometry::Contains(ScreenRect(hwnd), screen)) {
      continue;
    }
    if ((window->style & WS_DISABLED) != 0) {
      if (topLevel) {
        return {hwnd, extra::HTERROR};  // the click is swallowed
      }
      continue;
    }
    const Point origin = ClientOrigin(hwnd);
    if (geometry::Contains(geometry::Offset(ClientSize(*window), origin.x, origin.y), screen)) {
      const Hit child = HitTest(window->children, screen, false);
      if (child.hwnd != 0) {
        return child;
      }
    }
    const LResult code = Send(hwnd, WM_NCHITTEST, 0, MakeLParam(screen.x, screen.y));
    if (code == HTTRANSPARENT) {
      continue;
    }
    return {hwnd, code};
  }
  return {};
}

void InMemoryWindowManager::MouseDown(Point screen) {
  cursor_ = screen;
  const Hit hit = HitTest(Find(desktop_)->children, screen, true);
  if (hit.hwnd == 0 || hit.code == extra::HTERROR) {
    return;
  }
  heldKeys_.insert(extra::VK_LBUTTON);
  const Hwnd top = Root(hit.hwnd);
  if (top != active_) {
    const LResult answer = Send(hit.hwnd, WM_MOUSEACTIVATE, top,
                                MakeLParam(static_cast<int>(hit.code), WM_LBUTTONDOWN));
    if (answer == extra::MA_ACTIVATE || answer == extra::MA_ACTIVATEANDEAT) {
      ActivateImpl(top, WA_CLICKACTIVE);
    }
    if (answer == extra::MA_ACTIVATEANDEAT || answer == extra::MA_NOACTIVATEANDEAT) {
      return;
    }
  }
  if (Find(hit.hwnd) == nullptr) {
    return;
  }
  Send(hit.hwnd, WM_SETCURSOR, hit.hwnd, MakeLParam(static_cast<int>(hit.code), WM_LBUTTONDOWN));
  if (hit.code == HTCLIENT) {
    Point client = screen;
    ScreenToClient(hit.hwnd, &client);
    PostInput(hit.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(client.x, client.y));
  } else {
    PostInput(hit.hwnd, WM_NCLBUTTONDOWN, static_cast<WParam>(hit.code),
              MakeLParam(screen.x, screen.y));
  }
}

void InMemoryWindowManager::MouseUp(Point screen) {
  cursor_ = screen;
  heldKeys_.erase(extra::VK_LBUTTON);
  const Hit hit = HitTest(Find(desktop_)->children, screen, true);
  if (hit.hwnd == 0 || hit.code == extra::HTERROR) {
    return;
  }
  if (hit.code == HTCLIENT) {
    Point client = screen;
    ScreenToClient(hit.hwnd, &client);
    PostInput(hit.hwnd, WM_LBUTTONUP, 0, MakeLParam(client.x, client.y));
  } else {
    PostInput(hit.hwnd, extra::WM_NCLBUTTONUP, static_cast<WParam>(hit.code),
              MakeLParam(screen.x, screen.y));
  }
}

void InMemoryWindowManager::Click(Point screen) {
  MouseDown(screen);
  MouseUp(screen);
}

}  // namespace ledbanner::platform
