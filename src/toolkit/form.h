// The borderless window and its six kinds of control.
//
// Properties are read from the live windows, never from the description, so that what a handler
// reads back is what the window manager really holds. Events are raised synchronously through the
// runtime, which drops them while events are held.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window_manager.h"
#include "toolkit/description.h"
#include "toolkit/handles.h"
#include "toolkit/runtime.h"

namespace ledbanner::toolkit {

class Form;
class PictureBox;

// Limits that the toolkit applies to every geometry write.
inline constexpr int kMinPosition = -32627;
inline constexpr int kMaxPosition = 32627;
inline constexpr int kMaxSize = 32627;

class Control {
 public:
  Control(Form& form, const ControlDescription& description, int id);
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  Control(Control&&) = delete;
  Control& operator=(Control&&) = delete;
  virtual ~Control() = default;

  [[nodiscard]] platform::Hwnd Handle() const { return hwnd_; }
  [[nodiscard]] std::u16string_view Name() const { return description_.name; }
  [[nodiscard]] ControlKind Kind() const { return description_.kind; }
  [[nodiscard]] const ControlDescription& Description() const { return description_; }
  [[nodiscard]] int Id() const { return id_; }

  // Outer rectangle in the client coordinates of the parent.
  [[nodiscard]] platform::Rect RectInParent() const;
  [[nodiscard]] int Left() const { return RectInParent().left; }
  [[nodiscard]] int Top() const { return RectInParent().top; }
  [[nodiscard]] int Width() const { return RectInParent().Width(); }
  [[nodiscard]] int Height() const { return RectInParent().Height(); }
  void SetLeft(int left);
  void SetWidth(int width);
  void SetHeight(int height);

  [[nodiscard]] std::u16string Text() const;  // a copy the caller owns

  // The font's character height in points at the screen's vertical resolution.
  [[nodiscard]] int FontSizePoints() const;
  [[nodiscard]] platform::Hgdiobj Font() const;
  [[nodiscard]] platform::ColorRef TextColour() const;
  [[nodiscard]] platform::ColorRef BackgroundColour() const;

  [[nodiscard]] bool IsTabStop() const;

  // The procedure of every control window: the toolkit's own classes use it as their class
  // procedure, system controls are subclassed with it.
  static platform::LResult LEDBANNER_CALLBACK ControlProc(platform::Hwnd hwnd,
                                                          platform::UInt message,
                                                          platform::WParam wParam,
                                                          platform::LParam lParam);

 protected:
  friend class Form;
  friend class PictureBox;
  friend bool RouteToChild(const Form& form, platform::UInt message, platform::WParam wParam,
                           platform::LParam lParam, platform::LResult& result);

  virtual void Create(platform::Hwnd parent);
  // Messages of a subclassed system control; the default passes them to the original procedure.
  virtual platform::LResult OnMessage(platform::UInt message, platform::WParam wParam,
                                      platform::LParam lParam);
  // WM_COMMAND notifications that the control sent to its parent.
  virtual void OnNotify(platform::UInt /*code*/) {}
  // The brush and colours a system control paints with (WM_CTLCOLOR...).
  platform::LResult OnControlColour(platform::Hdc dc);
  // Validates the update region; draws with `draw` unless a picture box paints this control.
  void PaintUnlessComposed(const std::function<void(platform::Hdc, platform::Rect)>& draw);

  void CreateSystemControl(platform::Hwnd parent, std::u16string_view className,
                           platform::UInt style, platform::UInt exStyle);
  platform::LResult CallOriginal(platform::UInt message, platform::WParam wParam,
                                 platform::LParam lParam);
  [[nodiscard]] WindowManager& Wm() const;
  // The picture box that paints this control, or null when it paints itself.
  [[nodiscard]] PictureBox* Composer() const;
  void MoveTo(int left, int top, int width, int height);

  Form& form_;
  ControlDescription description_;
  int id_;
  platform::Hwnd hwnd_ = 0;
  platform::WndProc originalProc_ = nullptr;
  UniqueGdiObject font_;
  UniqueGdiObject backgroundBrush_;
};

class Label : public Control {
 public:
  using Control::Control;
  // The feedback event: the two integers of a notice message, and the notice's answer.
  std::function<platform::LResult(std::int32_t, std::int32_t)> onFeedback;
  static constexpr platform::UInt kFeedbackMessage = 0x8075;

 protected:
  void Create(platform::Hwnd parent) override;
  platform::LResult OnMessage(platform::UInt message, platform::WParam wParam,
                              platform::LParam lParam) override;
};

class TransparentLabel : public Control {
 public:
  using Control::Control;

 protected:
  void Create(platform::Hwnd parent) override;
  platform::LResult OnMessage(platform::UInt message, platform::WParam wParam,
                              platform::LParam lParam) override;
};

class EditBox : public Control {
 public:
  using Control::Control;
  // Replaces the content and raises the text-changed event exactly once, also for the same text.
  void SetText(std::u16string_view text);
  std::function<void()> onTextChanged;

 protected:
  void Create(platform::Hwnd parent) override;
  platform::LResult OnMessage(platform::UInt message, platform::WParam wParam,
                              platform::LParam lParam) override;
  void OnNotify(platform::UInt code) override;

 private:
  bool ignoreOwnChange_ = false;
};

class CheckBox : public Control {
 public:
  using Control::Control;
  [[nodiscard]] std::u16string Caption() const { return caption_; }  // the caption last set
  void SetCaption(std::u16string_view caption);
  [[nodiscard]] bool Checked() const;
  std::function<void()> onClicked;

 protected:
  void Create(platform::Hwnd parent) override;
  void OnNotify(platform::UInt code) override;

 private:
  std::u16string caption_;
};

class Timer : public Control {
 public:
  using Control::Control;
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;
  Timer(Timer&&) = delete;
  Timer& operator=(Timer&&) = delete;
  ~Timer() override;
  std::function<void()> onTick;
  static constexpr std::uintptr_t kTimerId = 1000;

 protected:
  void Create(platform::Hwnd parent) override;
  platform::LResult OnMessage(platform::UInt message, platform::WParam wParam,
                              platform::LParam lParam) override;

 private:
  bool ticking_ = false;
};

class Form {
 public:
  Form(Runtime& runtime, const WindowDescription& description);
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;
  Form(Form&&) = delete;
  Form& operator=(Form&&) = delete;
  ~Form();

  // Creates the window and its controls, hidden; a failure is fatal.
  void Build();
  // Shows the window normally and activates it, if it still exists.
  void ShowAndActivate();

  [[nodiscard]] platform::Hwnd Handle() const { return hwnd_.Get(); }
  [[nodiscard]] bool Exists() const;
  [[nodiscard]] Runtime& RuntimeRef() const { return runtime_; }
  [[nodiscard]] WindowManager& Wm() const { return runtime_.Wm(); }

  template <typename T>
  [[nodiscard]] T& Get(std::u16string_view name) const {
    return dynamic_cast<T&>(Find(name));
  }
  [[nodiscard]] Control& Find(std::u16string_view name) const;
  [[nodiscard]] Control* ControlByHandle(platform::Hwnd hwnd) const;
  [[nodiscard]] const std::vector<std::unique_ptr<Control>>& Controls() const { return controls_; }

  [[nodiscard]] int Left() const;
  [[nodiscard]] int Top() const;
  [[nodiscard]] int Width() const;
  [[nodiscard]] int Height() const;
  void SetHeight(int height);
  [[nodiscard]] bool AlwaysOnTop() const { return alwaysOnTop_; }
  void SetAlwaysOnTop(bool onTop);
  void SetFocus();

  std::function<void()> onCreated;
  void RaiseCreated() { runtime_.Raise(onCreated); }

  // Keyboard rules applied before a key message is dispatched; true when the key was consumed.
  bool PreTranslate(const platform::Msg& msg);
  // True when hwnd is the window itself or lies inside it.
  [[nodiscard]] bool Contains(platform::Hwnd hwnd) const;

  // Starts the system's move loop, as a press on an absent title bar at that screen point would.
  void StartDragMove(platform::Point screenPoint);

 private:
  static platform::LResult LEDBANNER_CALLBACK WindowProc(platform::Hwnd hwnd,
                                                         platform::UInt message,
                                                         platform::WParam wParam,
                                                         platform::LParam lParam);
  platform::LResult OnMessage(platform::UInt message, platform::WParam wParam,
                              platform::LParam lParam);
  void RegisterClasses();
  void CreateMainWindow();
  void ApplyZOrder();
  void MoveFocusByTab(bool backward);
  void PassFocusOn();
  void PaintBackground(platform::Hdc dc);

  Runtime& runtime_;
  WindowDescription description_;
  UniqueWindow hwnd_;
  std::vector<std::unique_ptr<Control>> controls_;
  platform::Hwnd rememberedFocus_ = 0;
  bool alwaysOnTop_ = false;
};

// Routes a control's WM_COMMAND or WM_CTLCOLOR... message, received by its parent, to the
// control; returns false when the message is not one of those or comes from no control of ours.
bool RouteToChild(const Form& form, platform::UInt message, platform::WParam wParam,
                  platform::LParam lParam, platform::LResult& result);

}  // namespace ledbanner::toolkit
