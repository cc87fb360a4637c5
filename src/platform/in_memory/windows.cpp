// Windows, classes, styles, geometry and the window tree.
#include <algorithm>

#include "platform/in_memory/extra_constants.h"
#include "platform/in_memory/geometry.h"
#include "platform/in_memory/in_memory_window_manager.h"
#include "platform/win_constants.h"

namespace ledbanner::platform {

using geometry::Offset;

thread_local InMemoryWindowManager* InMemoryWindowManager::current_ = nullptr;

InMemoryWindowManager::CurrentScope::CurrentScope(InMemoryWindowManager* instance)
    : previous_(current_) {
  current_ = instance;
}

InMemoryWindowManager::CurrentScope::~CurrentScope() { current_ = previous_; }

InMemoryWindowManager& InMemoryWindowManager::Current() {
  if (current_ == nullptr) {
    throw SimulationStop("no InMemoryWindowManager on this thread");
  }
  return *current_;
}

InMemoryWindowManager::InMemoryWindowManager()
    : InMemoryWindowManager(std::make_shared<HotkeyTable>()) {}

InMemoryWindowManager::InMemoryWindowManager(std::shared_ptr<HotkeyTable> hotkeys)
    : hotkeys_(hotkeys ? std::move(hotkeys) : std::make_shared<HotkeyTable>()) {
  hotkeyOwner_ = hotkeys_->NewOwner();
  previousCurrent_ = current_;
  current_ = this;

  auto desktop = std::make_unique<Window>();
  desktop->handle = desktop_ = NewHandle();
  desktop->className = u"#32769";
  desktop->style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN;
  desktop->rect = {0, 0, 1920, 1080};
  desktop->foreign = true;
  windows_.emplace(desktop_, std::move(desktop));

  CreateStockObjects();
  // Windows reports the built-in classes in this spelling; lookups ignore case.
  // An edit box shows the I-beam, the others the arrow, as their system classes do.
  constexpr UInt kIBeam = 32513;
  struct BuiltIn {
    std::u16string name;
    WndProc proc;
    UInt cursor;
  };
  for (const BuiltIn& builtIn :
       {BuiltIn{u"Edit", &EditProc, kIBeam}, BuiltIn{u"Button", &ButtonProc, IDC_ARROW},
        BuiltIn{u"Static", &StaticProc, IDC_ARROW}}) {
    WindowClass windowClass;
    windowClass.className = builtIn.name;
    windowClass.wndProc = builtIn.proc;
    windowClass.cursor = LoadCursorW(builtIn.cursor);
    classes_.push_back({windowClass});
  }
}

InMemoryWindowManager::~InMemoryWindowManager() {
  hotkeys_->DropOwner(hotkeyOwner_);
  if (current_ == this) {
    current_ = previousCurrent_;
  }
}

Hwnd InMemoryWindowManager::NewHandle() {
  const std::uintptr_t handle = nextHandle_;
  nextHandle_ += 4;
  return handle;
}

InMemoryWindowManager::Window* InMemoryWindowManager::Find(Hwnd hwnd) {
  const auto it = windows_.find(hwnd);
  return it == windows_.end() ? nullptr : it->second.get();
}

const InMemoryWindowManager::Window* InMemoryWindowManager::Find(Hwnd hwnd) const {
  const auto it = windows_.find(hwnd);
  return it == windows_.end() ? nullptr : it->second.get();
}

const InMemoryWindowManager::ClassRecord* InMemoryWindowManager::FindClass(
    std::u16string_view name) const {
  const auto it = std::find_if(classes_.begin(), classes_.end(), [&](const ClassRecord& record) {
    return geometry::EqualsIgnoringCase(std::u16string_view(record.windowClass.className), name);
  });
  return it == classes_.end() ? nullptr : &*it;
}

bool InMemoryWindowManager::RegisterClassExW(const WindowClass& windowClass) {
  if (IsFailing("RegisterClassExW")) {
    return false;
  }
  return RegisterClassImpl(windowClass);
}

bool InMemoryWindowManager::RegisterClassImpl(const WindowClass& windowClass) {
  if (windowClass.className.empty() || windowClass.wndProc == nullptr) {
    return false;
  }
  if (FindClass(windowClass.className) != nullptr) {
    return false;
  }
  classes_.push_back({windowClass});
  return true;
}

Rect InMemoryWindowManager::ComputeFrame(UInt style, UInt exStyle) {
  int edge = 0;
  int caption = 0;
  if ((style & WS_CAPTION) == WS_CAPTION) {
    edge = 1;
    caption = 23;
  } else if ((style & WS_BORDER) != 0) {
    edge = 1;
  } else if ((style & WS_DLGFRAME) != 0) {
    edge = 3;
  }
  if ((style & WS_THICKFRAME) != 0) {
    edge += 4;
  }
  if ((exStyle & WS_EX_CLIENTEDGE) != 0) {
    edge += 2;
  }
  return {edge, edge + caption, edge, edge};
}

Rect InMemoryWindowManager::ClientSize(const Window& window) {
  const int width = window.rect.Width() - window.frame.left - window.frame.right;
  const int height = window.rect.Height() - window.frame.top - window.frame.bottom;
  return {0, 0, std::max(width, 0), std::max(height, 0)};
}

Hwnd InMemoryWindowManager::CreateWindowExW(UInt exStyle, std::u16string_view className,
                                            std::u16string_view windowName, UInt style, int x,
                                            int y, int width, int height, Hwnd parent,
                                            std::uintptr_t menuOrId, void* /*createParam*/) {
  if (IsFailing("CreateWindowExW")) {
    return 0;
  }
  return CreateImpl(exStyle, className, windowName, style, x, y, width, height, parent, menuOrId,
                    false);
}

Hwnd InMemoryWindowManager::CreateImpl(UInt exStyle, std::u16string_view className,
                                       std::u16string_view windowName, UInt style, int x, int y,
                                       int width, int height, Hwnd parent, std::uintptr_t menuOrId,
                                       bool foreign) {
  const ClassRecord* record = FindClass(className);
  if (record == nullptr) {
    return 0;
  }
  const bool child = (style & WS_CHILD) != 0;
  if (child && (parent == 0 || Find(parent) == nullptr)) {
    return 0;
  }
  if (!child && parent != 0 && Find(parent) == nullptr) {
    return 0;
  }
  const bool overlapped = !child && (style & WS_POPUP) == 0;
  if (overlapped) {
    style |= WS_CAPTION | WS_CLIPSIBLINGS;
  }

  if (x == extra::CW_USEDEFAULT) {
    x = overlapped ? 26 : 0;
    y = overlapped ? 26 : 0;
  }
  if (width == extra::CW_USEDEFAULT) {
    const Rect screen = Find(desktop_)->rect;
    width = overlapped ? screen.Width() * 3 / 4 : 0;
    height = overlapped ? screen.Height() * 3 / 4 : 0;
  }
  width = std::max(width, 0);
  height = std::max(height, 0);

  auto window = std::make_unique<Window>();
  const Hwnd hwnd = window->handle = NewHandle();
  // Classes are per process: another program's window keeps the spelling its own program
  // registered, even where this table holds the same name in another case.
  window->className = foreign ? std::u16string(className) : record->windowClass.className;
  window->proc = record->windowClass.wndProc;
  window->text = windowName;
  // Like Windows, the window is shown only once creation has succeeded.
  window->style = foreign ? style : (style & ~WS_VISIBLE);
  window->exStyle = exStyle;
  window->rect = {x, y, x + width, y + height};
  window->frame = ComputeFrame(style, exStyle);
  window->parent = child ? parent : desktop_;
  window->owner = (!child && parent != 0) ? Root(parent) : 0;
  window->id = child ? static_cast<LongPtr>(menuOrId) : 0;
  window->foreign = foreign;
  windows_.emplace(hwnd, std::move(window));
  if (child) {
    Find(parent)->children.push_back(hwnd);  // a new child starts at the bottom
  } else {
    PlaceInBand(hwnd, true);
  }

  if (Send(hwnd, WM_NCCREATE, 0, 0) == 0 || !IsWindow(hwnd)) {
    DestroyImpl(hwnd);
    return 0;
  }
  if (Send(hwnd, WM_CREATE, 0, 0) == -1 || !IsWindow(hwnd)) {
    DestroyImpl(hwnd);
    return 0;
  }
  const Window& created = *Find(hwnd);
  const Rect client = ClientSize(created);
  Send(hwnd, WM_SIZE, extra::SIZE_RESTORED, geometry::MakeLParam(client.right, client.bottom));
  if (!IsWindow(hwnd)) {
    return 0;
  }
  const Window& moved = *Find(hwnd);
  Send(hwnd, WM_MOVE, 0,
       geometry::MakeLParam(moved.rect.left + moved.frame.left, moved.rect.top + moved.frame.top));
  if (!IsWindow(hwnd)) {
    return 0;
  }
  if (!foreign && (style & WS_VISIBLE) != 0) {
    ShowImpl(hwnd, SW_SHOW);
  }
  return IsWindow(hwnd) ? hwnd : 0;
}

void InMemoryWindowManager::CollectSubtree(Hwnd hwnd, std::vector<Hwnd>& out) const {
  const Window* window = Find(hwnd);
  if (window == nullptr) {
    return;
  }
  out.push_back(hwnd);
  for (const Hwnd child : window->children) {
    CollectSubtree(child, out);
  }
}

bool InMemoryWindowManager::IsDescendant(Hwnd ancestor, Hwnd hwnd) const {
  for (const Window* window = Find(hwnd); window != nullptr; window = Find(window->parent)) {
    if (window->parent == ancestor) {
      return true;
    }
  }
  return false;
}

Hwnd InMemoryWindowManager::Root(Hwnd hwnd) const {
  const Window* window = Find(hwnd);
  if (window == nullptr || hwnd == desktop_) {
    return 0;
  }
  while (window->parent != desktop_) {
    const Window* parent = Find(window->parent);
    if (parent == nullptr) {
      break;
    }
    window = parent;
  }
  return window->handle;
}

bool InMemoryWindowManager::DestroyWindow(Hwnd hwnd) {
  const Window* window = Find(hwnd);
  // Windows of other programs belong to other threads, which DestroyWindow refuses.
  if (window == nullptr || window->foreign) {
    return false;
  }
  return DestroyImpl(hwnd);
}

bool InMemoryWindowManager::DestroyImpl(Hwnd hwnd) {
  Window* window = Find(hwnd);
  if (window == nullptr || window->destroying || hwnd == desktop_) {
    return false;
  }
  window->destroying = true;

  // Owned windows go first, as in Windows.
  std::vector<Hwnd> owned;
  for (const auto& [handle, other] : windows_) {
    if (other->owner == hwnd && handle != hwnd) {
      owned.push_back(handle);
    }
  }
  for (const Hwnd handle : owned) {
    DestroyImpl(handle);
  }

  std::vector<Hwnd> subtree;
  CollectSubtree(hwnd, subtree);
  for (const Hwnd handle : subtree) {
    Find(handle)->destroying = true;
  }
  window = Find(hwnd);
  if (IsVisibleImpl(hwnd) && window->parent != desktop_) {
    InvalidateParentArea(*window, window->rect);
  }
  // Hiding a window that has the activation or the focus takes them away first.
  const auto inSubtree = [&](Hwnd handle) {
    return handle != 0 && std::find(subtree.begin(), subtree.end(), handle) != subtree.end();
  };
  if (inSubtree(active_)) {
    DeactivateImpl();
  }
  if (inSubtree(focus_)) {
    SetFocusImpl(0);
  }

  const std::function<void(Hwnd)> sendDestroy = [&](Hwnd handle) {
    const Window* target = Find(handle);
    if (target == nullptr) {
      return;
    }
    Send(handle, WM_DESTROY, 0, 0);
    target = Find(handle);
    if (target == nullptr) {
      return;
    }
    for (const Hwnd child : std::vector<Hwnd>(target->children)) {
      sendDestroy(child);
    }
  };
  const std::function<void(Hwnd)> sendNcDestroy = [&](Hwnd handle) {
    const Window* target = Find(handle);
    if (target == nullptr) {
      return;
    }
    for (const Hwnd child : std::vector<Hwnd>(target->children)) {
      sendNcDestroy(child);
    }
    Send(handle, WM_NCDESTROY, 0, 0);
  };
  sendDestroy(hwnd);
  sendNcDestroy(hwnd);

  subtree.clear();
  CollectSubtree(hwnd, subtree);
  if (Window* parent = Find(Find(hwnd)->parent)) {
    std::erase(parent->children, hwnd);
  }
  for (const Hwnd handle : subtree) {
    std::erase_if(timers_, [&](const Timer& timer) { return timer.hwnd == handle; });
    std::erase_if(posted_, [&](const Msg& msg) { return msg.hwnd == handle; });
    hotkeys_->DropWindow(hotkeyOwner_, handle);
    if (focus_ == handle) {
      focus_ = 0;
    }
    if (active_ == handle) {
      active_ = 0;
    }
  }
  for (const Hwnd handle : subtree) {
    windows_.erase(handle);
  }
  return true;
}

bool InMemoryWindowManager::IsWindow(Hwnd hwnd) { return Find(hwnd) != nullptr; }

LResult InMemoryWindowManager::CallWindowProcW(WndProc proc, Hwnd hwnd, UInt message, WParam wParam,
                                               LParam lParam) {
  if (proc == nullptr) {
    return 0;
  }
  const CurrentScope scope(this);
  return proc(hwnd, message, wParam, lParam);
}

LongPtr InMemoryWindowManager::GetWindowLongPtrW(Hwnd hwnd, int index) {
  const Window* window = Find(hwnd);
  if (window == nullptr) {
    return 0;
  }
  switch (index) {
    case GWLP_WNDPROC:
      return reinterpret_cast<LongPtr>(window->proc);
    case GWL_STYLE:
      return static_cast<LongPtr>(window->style);
    case GWL_EXSTYLE:
      return static_cast<LongPtr>(window->exStyle);
    case GWLP_USERDATA:
      return window->userData;
    case GWLP_ID:
      return window->id;
    case extra::GWLP_HWNDPARENT:
      return static_cast<LongPtr>(IsTopLevel(*window) ? window->owner : window->parent);
    case extra::GWLP_HINSTANCE:
      return 0x400000;
    default:
      return 0;
  }
}

LongPtr InMemoryWindowManager::SetWindowLongPtrW(Hwnd hwnd, int index, LongPtr value) {
  RecordCall("SetWindowLongPtrW", hwnd, {index, value});
  Window* window = Find(hwnd);
  if (window == nullptr) {
    return 0;
  }
  LongPtr previous = 0;
  switch (index) {
    case GWLP_WNDPROC:
      // Another process's window procedure cannot be replaced.
      if (value == 0 || window->foreign) {
        return 0;
      }
      previous = reinterpret_cast<LongPtr>(window->proc);
      window->proc = reinterpret_cast<WndProc>(value);  // NOLINT(performance-no-int-to-ptr)
      return previous;
    case GWL_STYLE:
      previous = static_cast<LongPtr>(window->style);
      // The frame stays as it was until SWP_FRAMECHANGED, as in Windows.
      window->style = static_cast<UInt>(value);
      return previous;
    case GWL_EXSTYLE:
      previous = static_cast<LongPtr>(window->exStyle);
      // Only SetWindowPos changes the topmost state.
      window->exStyle =
          (static_cast<UInt>(value) & ~WS_EX_TOPMOST) | (window->exStyle & WS_EX_TOPMOST);
      return previous;
    case GWLP_USERDATA:
      previous = window->userData;
      window->userData = value;
      return previous;
    case GWLP_ID:
      previous = window->id;
      window->id = value;
      return previous;
    case extra::GWLP_HWNDPARENT:
      if (!IsTopLevel(*window)) {
        return 0;
      }
      previous = static_cast<LongPtr>(window->owner);
      window->owner = static_cast<Hwnd>(value);
      return previous;
    default:
      return 0;
  }
}

bool InMemoryWindowManager::IsVisibleImpl(Hwnd hwnd) const {
  for (const Window* window = Find(hwnd); window != nullptr; window = Find(window->parent)) {
    if ((window->style & WS_VISIBLE) == 0) {
      return false;
    }
    if (window->handle == desktop_) {
      return true;
    }
  }
  return false;
}

bool InMemoryWindowManager::IsWindowVisible(Hwnd hwnd) { return IsVisibleImpl(hwnd); }

void InMemoryWindowManager::SetVisible(Hwnd hwnd, bool visible) {
  Window* window = Find(hwnd);
  if (window == nullptr) {
    return;
  }
  const bool was = (window->style & WS_VISIBLE) != 0;
  if (was == visible) {
    return;
  }
  if (visible) {
    window->style |= WS_VISIBLE;
    if (IsVisibleImpl(hwnd)) {
      InvalidateTree(hwnd);
    }
    return;
  }
  const bool wasShown = IsVisibleImpl(hwnd);
  window->style &= ~WS_VISIBLE;
  if (wasShown && window->parent != desktop_) {
    InvalidateParentArea(*window, window->rect);
  }
  if (hwnd == active_) {
    DeactivateImpl();
  }
}

bool InMemoryWindowManager::ShowWindow(Hwnd hwnd, int command) {
  RecordCall("ShowWindow", hwnd, {command});
  return ShowImpl(hwnd, command);
}

bool InMemoryWindowManager::ShowImpl(Hwnd hwnd, int command) {
  const Window* window = Find(hwnd);
  if (window == nullptr || hwnd == desktop_) {
    return false;
  }
  const bool wasVisible = (window->style & WS_VISIBLE) != 0;
  if (command == SW_HIDE) {
    if (!wasVisible) {
      return false;
    }
    Send(hwnd, WM_SHOWWINDOW, 0, 0);
    SetVisible(hwnd, false);
    Send(hwnd, WM_WINDOWPOSCHANGED, 0, 0);
    return true;
  }
  if (!wasVisible) {
    Send(hwnd, WM_SHOWWINDOW, 1, 0);
    SetVisible(hwnd, true);
    Send(hwnd, WM_WINDOWPOSCHANGED, 0, 0);
  }
  const bool activates = command == SW_SHOWNORMAL || command == SW_SHOW ||
                         command == extra::SW_SHOWMAXIMIZED || command == extra::SW_RESTORE ||
                         command == extra::SW_SHOWDEFAULT;
  window = Find(hwnd);
  if (activates && window != nullptr && IsTopLevel(*window)) {
    ActivateImpl(hwnd, WA_ACTIVE);
  }
  return wasVisible;
}

bool InMemoryWindowManager::EnableWindow(Hwnd hwnd, bool enable) {
  Window* window = Find(hwnd);
  if (window == nullptr) {
    return false;
  }
  const bool wasDisabled = (window->style & WS_DISABLED) != 0;
  if (wasDisabled == !enable) {
    return wasDisabled;
  }
  if (!enable && focus_ != 0 && (focus_ == hwnd || IsDescendant(hwnd, focus_))) {
    SetFocusImpl(0);
  }
  window = Find(hwnd);
  if (window == nullptr) {
    return wasDisabled;
  }
  if (enable) {
    window->style &= ~WS_DISABLED;
  } else {
    window->style |= WS_DISABLED;
  }
  Send(hwnd, WM_ENABLE, enable ? 1 : 0, 0);
  return wasDisabled;
}

bool InMemoryWindowManager::IsWindowEnabled(Hwnd hwnd) {
  const Window* window = Find(hwnd);
  return window != nullptr && (window->style & WS_DISABLED) == 0;
}

bool InMemoryWindowManager::SetWindowTextW(Hwnd hwnd, std::u16string_view text) {
  RecordCall("SetWindowTextW", hwnd, {}, std::u16string(text));
  return SetTextImpl(hwnd, text);
}

bool InMemoryWindowManager::SetTextImpl(Hwnd hwnd, std::u16string_view text) {
  if (Find(hwnd) == nullptr) {
    return false;
  }
  const std::u16string terminated(text);
  return Send(hwnd, WM_SETTEXT, 0, reinterpret_cast<LParam>(terminated.c_str())) != 0;
}

std::u16string InMemoryWindowManager::GetWindowTextW(Hwnd hwnd) { return GetTextImpl(hwnd); }

std::u16string InMemoryWindowManager::GetTextImpl(Hwnd hwnd) {
  const Window* window = Find(hwnd);
  if (window == nullptr) {
    return {};
  }
  // Another process's text is read without a message, as Windows does.
  if (window->foreign) {
    return window->text;
  }
  const LResult length = Send(hwnd, WM_GETTEXTLENGTH, 0, 0);
  if (length <= 0) {
    return {};
  }
  std::u16string buffer(static_cast<std::size_t>(length) + 1, u'\0');
  const LResult copied =
      Send(hwnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LParam>(buffer.data()));
  buffer.resize(static_cast<std::size_t>(std::clamp<LResult>(copied, 0, length)));
  return buffer;
}

Point InMemoryWindowManager::ClientOrigin(Hwnd hwnd) const {
  const Window* window = Find(hwnd);
  if (window == nullptr || hwnd == desktop_) {
    return {};
  }
  const Point parent = ClientOrigin(window->parent);
  return {parent.x + window->rect.left + window->frame.left,
          parent.y + window->rect.top + window->frame.top};
}

Rect InMemoryWindowManager::ScreenRect(Hwnd hwnd) const {
  const Window* window = Find(hwnd);
  if (window == nullptr) {
    return {};
  }
  if (hwnd == desktop_) {
    return window->rect;
  }
  const Point parent = ClientOrigin(window->parent);
  return Offset(window->rect, parent.x, parent.y);
}

bool InMemoryWindowManager::GetWindowRect(Hwnd hwnd, Rect* rect) {
  if (Find(hwnd) == nullptr || rect == nullptr) {
    return false;
  }
  *rect = ScreenRect(hwnd);
  return true;
}

bool InMemoryWindowManager::GetClientRect(Hwnd hwnd, Rect* rect) {
  const Window* window = Find(hwnd);
  if (window == nullptr || rect == nullptr) {
    return false;
  }
  *rect = ClientSize(*window);
  return true;
}

bool InMemoryWindowManager::ScreenToClient(Hwnd hwnd, Point* point) {
  if (Find(hwnd) == nullptr || point == nullptr) {
    return false;
  }
  const Point origin = ClientOrigin(hwnd);
  point->x -= origin.x;
  point->y -= origin.y;
  return true;
}

bool InMemoryWindowManager::ClientToScreen(Hwnd hwnd, Point* point) {
  if (Find(hwnd) == nullptr || point == nullptr) {
    return false;
  }
  const Point origin = ClientOrigin(hwnd);
  point->x += origin.x;
  point->y += origin.y;
  return true;
}

bool InMemoryWindowManager::MoveWindow(Hwnd hwnd, int x, int y, int width, int height,
                                       bool repaint) {
  RecordCall("MoveWindow", hwnd, {x, y, width, height, repaint ? 1 : 0});
  return SetPosImpl(hwnd, 0, x, y, width, height,
                    SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

bool InMemoryWindowManager::SetWindowPos(Hwnd hwnd, Hwnd insertAfter, int x, int y, int cx, int cy,
                                         UInt flags) {
  RecordCall(
      "SetWindowPos", hwnd,
      {static_cast<std::intptr_t>(insertAfter), x, y, cx, cy, static_cast<std::intptr_t>(flags)});
  return SetPosImpl(hwnd, insertAfter, x, y, cx, cy, flags);
}

void InMemoryWindowManager::PlaceInBand(Hwnd hwnd, bool top) {
  Window& window = *Find(hwnd);
  std::vector<Hwnd>& siblings = Find(window.parent)->children;
  std::erase(siblings, hwnd);
  if (!IsTopLevel(window)) {
    siblings.insert(top ? siblings.begin() : siblings.end(), hwnd);
    return;
  }
  // Topmost windows always stay above the others.
  const auto firstNormal = std::find_if(siblings.begin(), siblings.end(), [&](Hwnd sibling) {
    return (Find(sibling)->exStyle & WS_EX_TOPMOST) == 0;
  });
  const bool topmost = (window.exStyle & WS_EX_TOPMOST) != 0;
  if (topmost) {
    siblings.insert(top ? siblings.begin() : firstNormal, hwnd);
  } else {
    siblings.insert(top ? firstNormal : siblings.end(), hwnd);
  }
}

void InMemoryWindowManager::Reorder(Hwnd hwnd, Hwnd insertAfter) {
  Window& window = *Find(hwnd);
  const bool topLevel = IsTopLevel(window);
  const bool topmost = (window.exStyle & WS_EX_TOPMOST) != 0;
  if (insertAfter == HWND_TOPMOST) {
    if (topLevel) {
      window.exStyle |= WS_EX_TOPMOST;
    }
    PlaceInBand(hwnd, true);
  } else if (insertAfter == HWND_NOTOPMOST) {
    // No effect on a window that is not topmost.
    if (topLevel && topmost) {
      window.exStyle &= ~WS_EX_TOPMOST;
      PlaceInBand(hwnd, true);
    }
  } else if (insertAfter == HWND_TOP) {
    PlaceInBand(hwnd, true);
  } else if (insertAfter == HWND_BOTTOM) {
    // A topmost window sent to the bottom loses its topmost state.
    window.exStyle &= ~WS_EX_TOPMOST;
    PlaceInBand(hwnd, false);
  } else {
    std::vector<Hwnd>& siblings = Find(window.parent)->children;
    if (insertAfter == hwnd ||
        std::find(siblings.begin(), siblings.end(), insertAfter) == siblings.end()) {
      return;
    }
    std::erase(siblings, hwnd);
    auto position = std::find(siblings.begin(), siblings.end(), insertAfter) + 1;
    if (topLevel) {
      const auto firstNormal = std::find_if(siblings.begin(), siblings.end(), [&](Hwnd sibling) {
        return (Find(sibling)->exStyle & WS_EX_TOPMOST) == 0;
      });
      if (topmost && position > firstNormal) {
        position = firstNormal;
      }
      if (!topmost && position < firstNormal) {
        position = firstNormal;
      }
    }
    siblings.insert(position, hwnd);
  }
}

bool InMemoryWindowManager::SetPosImpl(Hwnd hwnd, Hwnd insertAfter, int x, int y, int cx, int cy,
                                       UInt flags) {
  Window* window = Find(hwnd);
  if (window == nullptr || hwnd == desktop_) {
    return false;
  }
  const Rect oldRect = window->rect;
  const Rect oldClient = ClientSize(*window);
  if ((flags & SWP_NOZORDER) == 0) {
    Reorder(hwnd, insertAfter);
  }
  if ((flags & SWP_NOMOVE) == 0) {
    window->rect = Offset(window->rect, x - window->rect.left, y - window->rect.top);
  }
  if ((flags & SWP_NOSIZE) == 0) {
    window->rect.right = window->rect.left + std::max(cx, 0);
    window->rect.bottom = window->rect.top + std::max(cy, 0);
  }
  if ((flags & SWP_FRAMECHANGED) != 0) {
    window->frame = ComputeFrame(window->style, window->exStyle);
  }
  const bool moved = window->rect.left != oldRect.left || window->rect.top != oldRect.top;
  const bool sized =
      window->rect.Width() != oldRect.Width() || window->rect.Height() != oldRect.Height();
  const Rect newClient = ClientSize(*window);
  const bool clientSized = newClient != oldClient;

  if ((flags & SWP_SHOWWINDOW) != 0) {
    SetVisible(hwnd, true);
  }
  if ((flags & SWP_HIDEWINDOW) != 0) {
    SetVisible(hwnd, false);
  }
  window = Find(hwnd);
  if (window == nullptr) {
    return true;
  }
  if ((flags & SWP_NOREDRAW) == 0 && (moved || sized || (flags & SWP_FRAMECHANGED) != 0) &&
      IsVisibleImpl(hwnd)) {
    InvalidateTree(hwnd);
    if (window->parent != desktop_) {
      InvalidateParentArea(*window, oldRect);
      InvalidateParentArea(*window, window->rect);
    }
  }
  // The z-order is the one asked for, so activating does not raise the window here.
  if ((flags & SWP_NOACTIVATE) == 0 && IsTopLevel(*window) && IsVisibleImpl(hwnd)) {
    ActivateImpl(hwnd, WA_ACTIVE, false);
  }
  Send(hwnd, WM_WINDOWPOSCHANGED, 0, 0);
  window = Find(hwnd);
  if (window == nullptr) {
    return true;
  }
  if (moved) {
    Send(hwnd, WM_MOVE, 0,
         geometry::MakeLParam(window->rect.left + window->frame.left,
                              window->rect.top + window->frame.top));
  }
  window = Find(hwnd);
  if (window != nullptr && (sized || clientSized)) {
    const Rect client = ClientSize(*window);
    Send(hwnd, WM_SIZE, extra::SIZE_RESTORED, geometry::MakeLParam(client.right, client.bottom));
  }
  return true;
}

Hwnd InMemoryWindowManager::SetParent(Hwnd child, Hwnd newParent) {
  RecordCall("SetParent", child, {static_cast<std::intptr_t>(newParent)});
  if (IsFailing("SetParent")) {
    return 0;
  }
  Window* window = Find(child);
  const Hwnd target = newParent == 0 ? desktop_ : newParent;
  if (window == nullptr || child == desktop_ || Find(target) == nullptr) {
    return 0;
  }
  if (target == child || IsDescendant(child, target)) {
    return 0;
  }
  const Hwnd previous = window->parent;
  if (IsVisibleImpl(child) && previous != desktop_) {
    InvalidateParentArea(*window, window->rect);
  }
  std::erase(Find(previous)->children, child);
  window->parent = target;
  if (target == desktop_) {
    Find(desktop_)->children.push_back(child);
    PlaceInBand(child, true);
  } else {
    std::vector<Hwnd>& siblings = Find(target)->children;
    siblings.insert(siblings.begin(), child);
  }
  if (IsVisibleImpl(child)) {
    InvalidateTree(child);
  }
  return previous;
}

Hwnd InMemoryWindowManager::GetParent(Hwnd hwnd) {
  const Window* window = Find(hwnd);
  if (window == nullptr || hwnd == desktop_) {
    return 0;
  }
  return (window->style & WS_CHILD) != 0 ? window->parent : window->owner;
}

Hwnd InMemoryWindowManager::GetAncestor(Hwnd hwnd, UInt flags) {
  const Window* window = Find(hwnd);
  if (window == nullptr || hwnd == desktop_) {
    return 0;
  }
  switch (flags) {
    case GA_PARENT:
      return window->parent;
    case GA_ROOT:
      return Root(hwnd);
    case extra::GA_ROOTOWNER: {
      Hwnd root = Root(hwnd);
      while (const Window* top = Find(root)) {
        if (top->owner == 0 || Find(top->owner) == nullptr) {
          break;
        }
        root = Root(top->owner);
      }
      return root;
    }
    default:
      return 0;
  }
}

Hwnd InMemoryWindowManager::GetWindow(Hwnd hwnd, UInt command) {
  const Window* window = Find(hwnd);
  if (window == nullptr) {
    return 0;
  }
  if (command == GW_CHILD) {
    return window->children.empty() ? 0 : window->children.front();
  }
  if (command == GW_OWNER) {
    return window->owner;
  }
  const Window* parent = Find(window->parent);
  if (parent == nullptr) {
    return 0;
  }
  const std::vector<Hwnd>& siblings = parent->children;
  const auto it = std::find(siblings.begin(), siblings.end(), hwnd);
  switch (command) {
    case GW_HWNDFIRST:
      return siblings.front();
    case GW_HWNDLAST:
      return siblings.back();
    case GW_HWNDNEXT:
      return (it + 1 == siblings.end()) ? 0 : *(it + 1);
    case GW_HWNDPREV:
      return it == siblings.begin() ? 0 : *(it - 1);
    default:
      return 0;
  }
}

// ---- Windows of other programs ----

Hwnd InMemoryWindowManager::CreateForeignWindow(std::u16string_view className,
                                                std::u16string_view title, Hwnd parent,
                                                bool visible, std::optional<Rect> rect) {
  if (FindClass(className) == nullptr) {
    WindowClass windowClass;
    windowClass.className = className;
    windowClass.wndProc = &ForeignProc;
    RegisterClassImpl(windowClass);
  }
  const Window* parentWindow = parent != 0 ? Find(parent) : nullptr;
  if (parent != 0 && parentWindow == nullptr) {
    return 0;
  }
  const Rect area =
      rect ? *rect : (parentWindow ? ClientSize(*parentWindow) : Find(desktop_)->rect);
  const UInt style = (parent != 0 ? WS_CHILD | WS_CLIPSIBLINGS : WS_POPUP | WS_CLIPCHILDREN) |
                     (visible ? WS_VISIBLE : 0);
  return CreateImpl(0, className, title, style, area.left, area.top, area.Width(), area.Height(),
                    parent, 0, true);
}

std::vector<LoggedMessage> InMemoryWindowManager::ForeignMessages(Hwnd hwnd) const {
  const Window* window = Find(hwnd);
  return window == nullptr ? std::vector<LoggedMessage>{} : window->foreignMessages;
}

void InMemoryWindowManager::SetClosesOnWmClose(Hwnd hwnd, bool closes) {
  if (Window* window = Find(hwnd)) {
    window->closesOnWmClose = closes;
  }
}

void InMemoryWindowManager::SetForeignHandler(
    Hwnd hwnd, std::function<std::optional<LResult>(UInt, WParam, LParam)> handler) {
  if (Window* window = Find(hwnd)) {
    window->foreignHandler = std::move(handler);
  }
}

bool InMemoryWindowManager::DestroyForeignWindow(Hwnd hwnd) { return DestroyImpl(hwnd); }

// ---- Queries ----

std::vector<Hwnd> InMemoryWindowManager::TopLevelWindows() const {
  return Find(desktop_)->children;
}

std::vector<Hwnd> InMemoryWindowManager::Children(Hwnd hwnd) const {
  const Window* window = Find(hwnd == 0 ? desktop_ : hwnd);
  return window == nullptr ? std::vector<Hwnd>{} : window->children;
}

std::u16string InMemoryWindowManager::ClassName(Hwnd hwnd) const {
  const Window* window = Find(hwnd);
  return window == nullptr ? std::u16string{} : window->className;
}

std::u16string InMemoryWindowManager::Text(Hwnd hwnd) const {
  const Window* window = Find(hwnd);
  return window == nullptr ? std::u16string{} : window->text;
}

UInt InMemoryWindowManager::Style(Hwnd hwnd) const {
  const Window* window = Find(hwnd);
  return window == nullptr ? 0 : window->style;
}

UInt InMemoryWindowManager::ExStyle(Hwnd hwnd) const {
  const Window* window = Find(hwnd);
  return window == nullptr ? 0 : window->exStyle;
}

bool InMemoryWindowManager::IsTopmost(Hwnd hwnd) const {
  return (ExStyle(hwnd) & WS_EX_TOPMOST) != 0;
}

Hwnd InMemoryWindowManager::ParentOf(Hwnd hwnd) const {
  const Window* window = Find(hwnd);
  return (window == nullptr || window->parent == desktop_) ? 0 : window->parent;
}

Hwnd InMemoryWindowManager::OwnerOf(Hwnd hwnd) const {
  const Window* window = Find(hwnd);
  return window == nullptr ? 0 : window->owner;
}

Rect InMemoryWindowManager::WindowRectOf(Hwnd hwnd) const { return ScreenRect(hwnd); }

bool InMemoryWindowManager::IsChecked(Hwnd button) const {
  const Window* window = Find(button);
  return window != nullptr && window->checked;
}

int InMemoryWindowManager::MoveLoopCount(Hwnd hwnd) const {
  const Window* window = Find(hwnd);
  return window == nullptr ? 0 : window->moveLoops;
}

std::size_t InMemoryWindowManager::LiveWindowCount() const {
  return static_cast<std::size_t>(std::count_if(
      windows_.begin(), windows_.end(), [](const auto& entry) { return !entry.second->foreign; }));
}

void InMemoryWindowManager::SetScreenSize(int width, int height) {
  Find(desktop_)->rect = {0, 0, width, height};
}

void InMemoryWindowManager::SetResponseDelay(Hwnd hwnd, UInt ms) {
  if (Window* window = Find(hwnd)) {
    window->responseDelay = ms;
  }
}

void InMemoryWindowManager::SetHung(Hwnd hwnd, bool hung) {
  if (Window* window = Find(hwnd)) {
    window->hung = hung;
  }
}

void InMemoryWindowManager::SetAnsiTitle(Hwnd hwnd, std::string bytes) {
  if (Window* window = Find(hwnd)) {
    window->ansiTitle = std::move(bytes);
  }
}

}  // namespace ledbanner::platform
