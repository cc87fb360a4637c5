// Owners for the window manager's handles: each releases its handle exactly once.
#pragma once

#include <utility>

#include "platform/window_manager.h"

namespace ledbanner::toolkit {

using platform::WindowManager;

// A handle of type H owned together with the window manager that releases it.
template <typename H, auto Releaser>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  UniqueHandle(WindowManager& windowManager, H handle)
      : windowManager_(&windowManager), handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept
      : windowManager_(other.windowManager_), handle_(std::exchange(other.handle_, H{})) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      windowManager_ = other.windowManager_;
      handle_ = std::exchange(other.handle_, H{});
    }
    return *this;
  }
  ~UniqueHandle() { Reset(); }

  [[nodiscard]] H Get() const { return handle_; }
  explicit operator bool() const { return handle_ != H{}; }
  // Gives up ownership without releasing, for a handle the system has already freed.
  H Abandon() { return std::exchange(handle_, H{}); }
  void Reset() {
    if (handle_ != H{}) {
      Releaser(*windowManager_, std::exchange(handle_, H{}));
    }
  }

 private:
  WindowManager* windowManager_ = nullptr;
  H handle_{};
};

namespace release {
inline void GdiObject(WindowManager& wm, platform::Hgdiobj object) { wm.DeleteObject(object); }
inline void MemoryDc(WindowManager& wm, platform::Hdc dc) { wm.DeleteDC(dc); }
inline void Window(WindowManager& wm, platform::Hwnd hwnd) {
  if (wm.IsWindow(hwnd)) {
    wm.DestroyWindow(hwnd);
  }
}
}  // namespace release

using UniqueGdiObject = UniqueHandle<platform::Hgdiobj, &release::GdiObject>;
using UniqueMemoryDc = UniqueHandle<platform::Hdc, &release::MemoryDc>;
using UniqueWindow = UniqueHandle<platform::Hwnd, &release::Window>;

// Selects an object into a device context and puts the previous one back.
class SelectionGuard {
 public:
  SelectionGuard(WindowManager& windowManager, platform::Hdc dc, platform::Hgdiobj object)
      : windowManager_(windowManager), dc_(dc), previous_(windowManager.SelectObject(dc, object)) {}
  SelectionGuard(const SelectionGuard&) = delete;
  SelectionGuard& operator=(const SelectionGuard&) = delete;
  SelectionGuard(SelectionGuard&&) = delete;
  SelectionGuard& operator=(SelectionGuard&&) = delete;
  ~SelectionGuard() {
    if (previous_ != 0) {
      windowManager_.SelectObject(dc_, previous_);
    }
  }

 private:
  WindowManager& windowManager_;
  platform::Hdc dc_;
  platform::Hgdiobj previous_;
};

// BeginPaint and EndPaint as one scope.
class PaintScope {
 public:
  PaintScope(WindowManager& windowManager, platform::Hwnd hwnd)
      : windowManager_(windowManager), hwnd_(hwnd) {
    windowManager_.BeginPaint(hwnd_, &paint_);
  }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  PaintScope(PaintScope&&) = delete;
  PaintScope& operator=(PaintScope&&) = delete;
  ~PaintScope() { windowManager_.EndPaint(hwnd_, paint_); }

  [[nodiscard]] platform::Hdc Dc() const { return paint_.hdc; }
  [[nodiscard]] const platform::Rect& Area() const { return paint_.rcPaint; }

 private:
  WindowManager& windowManager_;
  platform::Hwnd hwnd_;
  platform::PaintStruct paint_;
};

// GetDC and ReleaseDC as one scope; a null window gives the screen's device context.
class WindowDcScope {
 public:
  WindowDcScope(WindowManager& windowManager, platform::Hwnd hwnd)
      : windowManager_(windowManager), hwnd_(hwnd), dc_(windowManager.GetDC(hwnd)) {}
  WindowDcScope(const WindowDcScope&) = delete;
  WindowDcScope& operator=(const WindowDcScope&) = delete;
  WindowDcScope(WindowDcScope&&) = delete;
  WindowDcScope& operator=(WindowDcScope&&) = delete;
  ~WindowDcScope() {
    if (dc_ != 0) {
      windowManager_.ReleaseDC(hwnd_, dc_);
    }
  }

  [[nodiscard]] platform::Hdc Dc() const { return dc_; }

 private:
  WindowManager& windowManager_;
  platform::Hwnd hwnd_;
  platform::Hdc dc_;
};

}  // namespace ledbanner::toolkit
