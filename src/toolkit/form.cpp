#include "toolkit/form.h"

#include <cstdlib>

#include "platform/win_constants.h"
#include "toolkit/geometry.h"
#include "toolkit/picture_box.h"

namespace ledbanner::toolkit {

namespace pf = platform;

namespace {

constexpr std::u16string_view kTimerClassName = u"LEDBanner.Timer";
constexpr int kFirstControlId = 1001;
constexpr int kDefaultGuiFontHeight = 11;  // MS Shell Dlg at 8 points, 96 dots per inch
constexpr std::u16string_view kDoubleByteSample = u"\u56FD";
constexpr int kMaxTreeDepth = 64;

std::unique_ptr<Control> MakeControl(Form& form, const ControlDescription& description, int id) {
  switch (description.kind) {
    case ControlKind::PictureBox:
      return std::make_unique<PictureBox>(form, description, id);
    case ControlKind::Label:
      return std::make_unique<Label>(form, description, id);
    case ControlKind::TransparentLabel:
      return std::make_unique<TransparentLabel>(form, description, id);
    case ControlKind::EditBox:
      return std::make_unique<EditBox>(form, description, id);
    case ControlKind::CheckBox:
      return std::make_unique<CheckBox>(form, description, id);
    case ControlKind::Timer:
      return std::make_unique<Timer>(form, description, id);
  }
  return nullptr;
}

pf::ColorRef Resolve(pf::WindowManager& wm, const Colour& colour) {
  switch (colour.source) {
    case Colour::Source::Fixed:
      return colour.rgb;
    case Colour::Source::ButtonFace:
      return wm.GetSysColor(pf::COLOR_BTNFACE);
    case Colour::Source::None:
      break;
  }
  return 0;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Control

Control::Control(Form& form, const ControlDescription& description, int id)
    : form_(form), description_(description), id_(id) {}

WindowManager& Control::Wm() const { return form_.Wm(); }

pf::Rect Control::RectInParent() const {
  pf::Rect rect;
  Wm().GetWindowRect(hwnd_, &rect);
  const pf::Hwnd parent = Wm().GetAncestor(hwnd_, pf::GA_PARENT);
  pf::Point topLeft{rect.left, rect.top};
  pf::Point bottomRight{rect.right, rect.bottom};
  Wm().ScreenToClient(parent, &topLeft);
  Wm().ScreenToClient(parent, &bottomRight);
  return {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

void Control::MoveTo(int left, int top, int width, int height) {
  if (PictureBox* composer = Composer()) {
    // The picture box paints this control: copying its old pixels to the new place would put a
    // frame on the screen with the overlay's glyphs shifted, so move it silently and let the
    // picture box repaint both places.
    const pf::Rect before = RectInParent();
    Wm().SetWindowPos(
        hwnd_, 0, left, top, width, height,
        pf::SWP_NOZORDER | pf::SWP_NOACTIVATE | pf::SWP_NOCOPYBITS | pf::SWP_NOREDRAW);
    composer->ChildAreaChanged(before, RectInParent());
    return;
  }
  Wm().MoveWindow(hwnd_, left, top, width, height, true);
}

void Control::SetLeft(int left) {
  const pf::Rect rect = RectInParent();
  MoveTo(Clamp(left, kMinPosition, kMaxPosition), rect.top, rect.Width(), rect.Height());
}

void Control::SetWidth(int width) {
  const pf::Rect rect = RectInParent();
  const int clamped = Clamp(width, 0, kMaxSize);
  if (Composer() != nullptr) {
    MoveTo(rect.left, rect.top, clamped, rect.Height());
    return;
  }
  Wm().SetWindowPos(hwnd_, 0, 0, 0, clamped, rect.Height(),
                    pf::SWP_NOACTIVATE | pf::SWP_NOZORDER | pf::SWP_NOMOVE);
}

void Control::SetHeight(int height) {
  const pf::Rect rect = RectInParent();
  const int clamped = Clamp(height, 0, kMaxSize);
  if (Composer() != nullptr) {
    MoveTo(rect.left, rect.top, rect.Width(), clamped);
    return;
  }
  Wm().SetWindowPos(hwnd_, 0, 0, 0, rect.Width(), clamped,
                    pf::SWP_NOACTIVATE | pf::SWP_NOZORDER | pf::SWP_NOMOVE);
}

std::u16string Control::Text() const { return Wm().GetWindowTextW(hwnd_); }

int Control::FontSizePoints() const {
  const int height =
      description_.font != nullptr ? description_.font->height : -kDefaultGuiFontHeight;
  const WindowDcScope screen(Wm(), 0);
  const int dotsPerInch = Wm().GetDeviceCaps(screen.Dc(), pf::LOGPIXELSY);
  return Wm().MulDiv(std::abs(height), 72, dotsPerInch);
}

pf::Hgdiobj Control::Font() const {
  return font_ ? font_.Get() : Wm().GetStockObject(pf::DEFAULT_GUI_FONT);
}

pf::ColorRef Control::TextColour() const { return Resolve(Wm(), description_.textColour); }

pf::ColorRef Control::BackgroundColour() const { return Resolve(Wm(), description_.background); }

bool Control::IsTabStop() const {
  return description_.tabStop && Wm().IsWindowVisible(hwnd_) && Wm().IsWindowEnabled(hwnd_);
}

PictureBox* Control::Composer() const {
  const pf::Hwnd parent = Wm().GetAncestor(hwnd_, pf::GA_PARENT);
  Control* owner = form_.ControlByHandle(parent);
  return owner != nullptr && owner->Kind() == ControlKind::PictureBox
             ? static_cast<PictureBox*>(owner)
             : nullptr;
}

void Control::Create(pf::Hwnd /*parent*/) {}

void Control::CreateSystemControl(pf::Hwnd parent, std::u16string_view className, pf::UInt style,
                                  pf::UInt exStyle) {
  style |= pf::WS_CHILD;
  if (!description_.enabled) {
    style |= pf::WS_DISABLED;
  }
  if (description_.tabStop) {
    style |= pf::WS_TABSTOP;
  }
  hwnd_ = Wm().CreateWindowExW(exStyle, className, description_.text, style, description_.left,
                               description_.top, description_.width, description_.height, parent,
                               static_cast<std::uintptr_t>(id_), nullptr);
  if (hwnd_ == 0) {
    return;
  }
  Wm().SetWindowLongPtrW(hwnd_, pf::GWLP_USERDATA, reinterpret_cast<pf::LongPtr>(this));
  originalProc_ = reinterpret_cast<pf::WndProc>(Wm().SetWindowLongPtrW(
      hwnd_, pf::GWLP_WNDPROC, reinterpret_cast<pf::LongPtr>(&Control::ControlProc)));
  if (const FontDescription* font = description_.font) {
    pf::LogFont logFont;
    logFont.height = font->height;
    logFont.weight = font->weight;
    // The recorded character set, precisions and pitch are not used: every font is made the
    // same way, so it matches on any system locale.
    logFont.charSet = pf::DEFAULT_CHARSET;
    logFont.outPrecision = pf::OUT_DEFAULT_PRECIS;
    logFont.clipPrecision = pf::CLIP_DEFAULT_PRECIS;
    logFont.quality = pf::PROOF_QUALITY;
    logFont.pitchAndFamily = pf::DEFAULT_PITCH;
    logFont.faceName = font->face;
    font_ = UniqueGdiObject(Wm(), Wm().CreateFontIndirectW(logFont));
  }
  Wm().SendMessageW(hwnd_, pf::WM_SETFONT, Font(), 0);
}

pf::LResult Control::CallOriginal(pf::UInt message, pf::WParam wParam, pf::LParam lParam) {
  if (originalProc_ != nullptr) {
    return Wm().CallWindowProcW(originalProc_, hwnd_, message, wParam, lParam);
  }
  return Wm().DefWindowProcW(hwnd_, message, wParam, lParam);
}

pf::LResult Control::OnMessage(pf::UInt message, pf::WParam wParam, pf::LParam lParam) {
  return CallOriginal(message, wParam, lParam);
}

void Control::PaintUnlessComposed(const std::function<void(pf::Hdc, pf::Rect)>& draw) {
  const PaintScope paint(Wm(), hwnd_);
  if (Composer() != nullptr) {
    return;  // the picture box paints this control as part of its frame
  }
  pf::Rect client;
  Wm().GetClientRect(hwnd_, &client);
  draw(paint.Dc(), client);
}

pf::LResult Control::OnControlColour(pf::Hdc dc) {
  Wm().SetTextColor(dc, TextColour());
  if (description_.background.source == Colour::Source::None) {
    Wm().SetBkMode(dc, pf::TRANSPARENT);
    return static_cast<pf::LResult>(Wm().GetStockObject(pf::NULL_BRUSH));
  }
  const pf::ColorRef background = BackgroundColour();
  Wm().SetBkColor(dc, background);
  // The button face is read whenever the control paints, so a brush for it is made anew.
  if (!backgroundBrush_ || description_.background.source == Colour::Source::ButtonFace) {
    backgroundBrush_ = UniqueGdiObject(Wm(), Wm().CreateSolidBrush(background));
  }
  return static_cast<pf::LResult>(backgroundBrush_.Get());
}

pf::LResult LEDBANNER_CALLBACK Control::ControlProc(pf::Hwnd hwnd, pf::UInt message,
                                                    pf::WParam wParam, pf::LParam lParam) {
  WindowManager& wm = Runtime::Current().Wm();
  auto* control = reinterpret_cast<Control*>(wm.GetWindowLongPtrW(hwnd, pf::GWLP_USERDATA));
  if (control == nullptr || control->hwnd_ != hwnd) {
    return wm.DefWindowProcW(hwnd, message, wParam, lParam);
  }
  const pf::LResult result = control->OnMessage(message, wParam, lParam);
  if (message == pf::WM_NCDESTROY) {
    control->hwnd_ = 0;
  }
  return result;
}

bool RouteToChild(const Form& form, pf::UInt message, pf::WParam wParam, pf::LParam lParam,
                  pf::LResult& result) {
  switch (message) {
    case pf::WM_COMMAND:
      if (Control* child = form.ControlByHandle(static_cast<pf::Hwnd>(lParam))) {
        child->OnNotify(static_cast<pf::UInt>(HighWord(wParam)));
        result = 0;
        return true;
      }
      return false;
    case pf::WM_CTLCOLOREDIT:
    case pf::WM_CTLCOLORSTATIC:
    case pf::WM_CTLCOLORBTN:
      if (Control* child = form.ControlByHandle(static_cast<pf::Hwnd>(lParam))) {
        result = child->OnControlColour(static_cast<pf::Hdc>(wParam));
        return true;
      }
      return false;
    default:
      return false;
  }
}

// ---------------------------------------------------------------------------------------------
// Label

void Label::Create(pf::Hwnd parent) { CreateSystemControl(parent, u"STATIC", 0, 0); }

pf::LResult Label::OnMessage(pf::UInt message, pf::WParam wParam, pf::LParam lParam) {
  switch (message) {
    case kFeedbackMessage:
      // A disabled label still receives sent messages, so the notice arrives regardless.
      if (form_.RuntimeRef().EventsHeld() || !onFeedback) {
        return 0;
      }
      return onFeedback(static_cast<std::int32_t>(wParam), static_cast<std::int32_t>(lParam));
    case pf::WM_ERASEBKGND:
      return 1;
    case pf::WM_PAINT:
      PaintUnlessComposed([this](pf::Hdc dc, pf::Rect client) {
        const auto brush = static_cast<pf::Hgdiobj>(OnControlColour(dc));
        Wm().FillRect(dc, client, brush);
        Wm().SetBkMode(dc, pf::TRANSPARENT);
        const SelectionGuard font(Wm(), dc, Font());
        Wm().DrawTextW(dc, Text(), &client, pf::DT_SINGLELINE | pf::DT_VCENTER | pf::DT_LEFT);
      });
      return 0;
    default:
      return CallOriginal(message, wParam, lParam);
  }
}

// ---------------------------------------------------------------------------------------------
// TransparentLabel

void TransparentLabel::Create(pf::Hwnd parent) {
  CreateSystemControl(parent, u"STATIC", 0, pf::WS_EX_TRANSPARENT);
}

pf::LResult TransparentLabel::OnMessage(pf::UInt message, pf::WParam wParam, pf::LParam lParam) {
  switch (message) {
    case pf::WM_ERASEBKGND:
      return 1;
    case pf::WM_PAINT:
      PaintUnlessComposed([this](pf::Hdc dc, pf::Rect client) {
        Wm().SetTextColor(dc, TextColour());
        Wm().SetBkMode(dc, pf::TRANSPARENT);
        const SelectionGuard font(Wm(), dc, Font());
        Wm().DrawTextW(dc, Text(), &client, pf::DT_WORDBREAK | pf::DT_LEFT);
      });
      return 0;
    default:
      return CallOriginal(message, wParam, lParam);
  }
}

// ---------------------------------------------------------------------------------------------
// EditBox

void EditBox::Create(pf::Hwnd parent) {
  CreateSystemControl(parent, u"EDIT", pf::ES_AUTOHSCROLL,
                      description_.sunkenEdge ? pf::WS_EX_CLIENTEDGE : 0);
  if (hwnd_ == 0) {
    return;
  }
  Wm().SendMessageW(hwnd_, pf::EM_LIMITTEXT, 0, 0);  // 0: as long as the system allows
  // A single-line box is at least one line of its font high, plus its edges.
  pf::Size line;
  {
    const WindowDcScope dc(Wm(), hwnd_);
    const SelectionGuard font(Wm(), dc.Dc(), Font());
    Wm().GetTextExtentPoint32W(dc.Dc(), kDoubleByteSample, &line);
  }
  const int minimum = line.cy + 2 * Wm().GetSystemMetrics(pf::SM_CYEDGE);
  if (description_.height < minimum) {
    Wm().SetWindowPos(hwnd_, 0, 0, 0, description_.width, minimum,
                      pf::SWP_NOACTIVATE | pf::SWP_NOZORDER | pf::SWP_NOMOVE);
  }
}

void EditBox::SetText(std::u16string_view text) {
  ignoreOwnChange_ = true;
  Wm().SetWindowTextW(hwnd_, text);
  ignoreOwnChange_ = false;
  // One notification of our own, so the event runs exactly once even for an unchanged text.
  Wm().SendMessageW(Wm().GetAncestor(hwnd_, pf::GA_PARENT), pf::WM_COMMAND,
                    MakeLong(id_, static_cast<int>(pf::EN_CHANGE)), static_cast<pf::LParam>(hwnd_));
}

void EditBox::OnNotify(pf::UInt code) {
  if (code != pf::EN_CHANGE || ignoreOwnChange_) {
    return;
  }
  if (PictureBox* composer = Composer()) {
    composer->ChildContentChanged(*this);
  }
  form_.RuntimeRef().Raise(onTextChanged);
}

pf::LResult EditBox::OnMessage(pf::UInt message, pf::WParam wParam, pf::LParam lParam) {
  if (Composer() != nullptr) {
    // Painted by the picture box as part of its frame.
    if (message == pf::WM_ERASEBKGND) {
      return 1;
    }
    if (message == pf::WM_PAINT) {
      const PaintScope paint(Wm(), hwnd_);
      return 0;
    }
  }
  return CallOriginal(message, wParam, lParam);
}

// ---------------------------------------------------------------------------------------------
// CheckBox

void CheckBox::Create(pf::Hwnd parent) {
  caption_ = description_.text;
  CreateSystemControl(parent, u"BUTTON",
                      pf::BS_AUTOCHECKBOX | pf::BS_MULTILINE | pf::BS_LEFT | pf::BS_VCENTER, 0);
}

void CheckBox::SetCaption(std::u16string_view caption) {
  caption_ = caption;
  Wm().SetWindowTextW(hwnd_, caption_);
}

bool CheckBox::Checked() const {
  return Wm().SendMessageW(hwnd_, pf::BM_GETCHECK, 0, 0) ==
         static_cast<pf::LResult>(pf::BST_CHECKED);
}

void CheckBox::OnNotify(pf::UInt code) {
  if (code == pf::BN_CLICKED) {
    form_.RuntimeRef().Raise(onClicked);
  }
}

// ---------------------------------------------------------------------------------------------
// Timer

void Timer::Create(pf::Hwnd parent) {
  hwnd_ = Wm().CreateWindowExW(0, kTimerClassName, u"", pf::WS_CHILD, description_.left,
                               description_.top, description_.width, description_.height, parent,
                               static_cast<std::uintptr_t>(id_), nullptr);
  if (hwnd_ == 0) {
    return;
  }
  Wm().SetWindowLongPtrW(hwnd_, pf::GWLP_USERDATA, reinterpret_cast<pf::LongPtr>(this));
  if (description_.timerIntervalMs > 0) {
    ticking_ = Wm().SetTimer(hwnd_, kTimerId, description_.timerIntervalMs) != 0;
  }
}

Timer::~Timer() {
  if (ticking_ && hwnd_ != 0 && Wm().IsWindow(hwnd_)) {
    Wm().KillTimer(hwnd_, kTimerId);
  }
}

pf::LResult Timer::OnMessage(pf::UInt message, pf::WParam wParam, pf::LParam lParam) {
  if (message == pf::WM_TIMER && wParam == kTimerId) {
    form_.RuntimeRef().Raise(onTick);
    return 0;
  }
  if (message == pf::WM_DESTROY && ticking_) {
    Wm().KillTimer(hwnd_, kTimerId);
    ticking_ = false;
  }
  return CallOriginal(message, wParam, lParam);
}

// ---------------------------------------------------------------------------------------------
// Form

Form::Form(Runtime& runtime, const WindowDescription& description)
    : runtime_(runtime), description_(description) {}

Form::~Form() {
  // The window goes first: its destruction still sends messages to the controls.
  hwnd_.Reset();
}

bool Form::Exists() const { return hwnd_ && Wm().IsWindow(hwnd_.Get()); }

Control& Form::Find(std::u16string_view name) const {
  for (const auto& control : controls_) {
    if (control->Name() == name) {
      return *control;
    }
  }
  std::abort();  // the program asked for a control its own layout does not have
}

Control* Form::ControlByHandle(pf::Hwnd hwnd) const {
  if (hwnd == 0) {
    return nullptr;
  }
  for (const auto& control : controls_) {
    if (control->Handle() == hwnd) {
      return control.get();
    }
  }
  return nullptr;
}

void Form::RegisterClasses() {
  pf::WindowClass windowClass;
  windowClass.wndProc = &Form::WindowProc;
  windowClass.cursor = Wm().LoadCursorW(pf::IDC_ARROW);
  windowClass.icon = Wm().LoadImageW(description_.iconResource, 32, 32);
  windowClass.iconSmall = Wm().LoadImageW(description_.iconResource, 16, 16);
  windowClass.className = description_.className;
  Wm().RegisterClassExW(windowClass);

  pf::WindowClass controlClass;
  controlClass.wndProc = &Control::ControlProc;
  controlClass.cursor = windowClass.cursor;
  controlClass.className = PictureBox::kClassName;
  Wm().RegisterClassExW(controlClass);
  controlClass.className = kTimerClassName;
  Wm().RegisterClassExW(controlClass);
}

void Form::CreateMainWindow() {
  const int x = (Wm().GetSystemMetrics(pf::SM_CXSCREEN) - description_.width) / 2;
  const int y = (Wm().GetSystemMetrics(pf::SM_CYSCREEN) - description_.height) / 2;
  hwnd_ = UniqueWindow(
      Wm(), Wm().CreateWindowExW(0, description_.className, description_.title,
                                 pf::WS_POPUP | pf::WS_MINIMIZEBOX | pf::WS_CLIPCHILDREN, x, y,
                                 description_.width, description_.height, 0, 0, nullptr));
  if (!hwnd_) {
    runtime_.Fatal(u"The banner window cannot be created.");
  }
  const pf::Hwnd hwnd = hwnd_.Get();
  Wm().SetWindowLongPtrW(hwnd, pf::GWLP_USERDATA, reinterpret_cast<pf::LongPtr>(this));

  // Take off a title bar that the system may have given the new window, then fix the size.
  const auto style = static_cast<pf::UInt>(Wm().GetWindowLongPtrW(hwnd, pf::GWL_STYLE));
  if ((style & pf::WS_CAPTION) != 0) {
    Wm().SetWindowLongPtrW(hwnd, pf::GWL_STYLE, static_cast<pf::LongPtr>(style & ~pf::WS_CAPTION));
    Wm().SetWindowPos(hwnd, 0, 0, 0, 0, 0,
                      pf::SWP_NOMOVE | pf::SWP_NOSIZE | pf::SWP_NOZORDER | pf::SWP_NOACTIVATE |
                          pf::SWP_FRAMECHANGED);
  }
  pf::Rect rect;
  Wm().GetWindowRect(hwnd, &rect);
  if (rect.Width() != description_.width || rect.Height() != description_.height) {
    Wm().SetWindowPos(hwnd, 0, 0, 0, description_.width, description_.height,
                      pf::SWP_NOMOVE | pf::SWP_NOZORDER | pf::SWP_NOACTIVATE);
  }
  Wm().SendMessageW(hwnd, pf::WM_SETICON, pf::ICON_BIG,
                    static_cast<pf::LParam>(Wm().LoadImageW(description_.iconResource, 32, 32)));
  Wm().SendMessageW(hwnd, pf::WM_SETICON, pf::ICON_SMALL,
                    static_cast<pf::LParam>(Wm().LoadImageW(description_.iconResource, 16, 16)));
  Wm().SendMessageW(hwnd, pf::WM_SETFONT, Wm().GetStockObject(pf::DEFAULT_GUI_FONT), 0);
}

void Form::Build() {
  RegisterClasses();
  CreateMainWindow();

  int id = kFirstControlId;
  for (const ControlDescription& description : description_.controls) {
    controls_.push_back(MakeControl(*this, description, id++));
    Control& control = *controls_.back();
    control.Create(hwnd_.Get());
    if (control.Handle() == 0) {
      runtime_.Fatal(u"The banner window cannot be created: a control failed.");
    }
  }
  // Controls that live inside another one move there now; their numbers stay as they are.
  for (const auto& control : controls_) {
    if (!control->Description().parent.empty()) {
      Wm().SetParent(control->Handle(), Find(control->Description().parent).Handle());
    }
  }
  ApplyZOrder();
  for (const auto& control : controls_) {
    if (control->Description().shown && control->Kind() != ControlKind::Timer) {
      Wm().ShowWindow(control->Handle(), pf::SW_SHOWNA);
    }
  }
}

void Form::ApplyZOrder() {
  // In layout order: the first control of each parent goes on top of its siblings, every later
  // one directly below the previous control with the same parent.
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    const std::u16string_view parent = controls_[i]->Description().parent;
    pf::Hwnd above = pf::HWND_TOP;
    for (std::size_t j = i; j-- > 0;) {
      if (controls_[j]->Description().parent == parent) {
        above = controls_[j]->Handle();
        break;
      }
    }
    Wm().SetWindowPos(controls_[i]->Handle(), above, 0, 0, 0, 0,
                      pf::SWP_NOMOVE | pf::SWP_NOSIZE | pf::SWP_NOACTIVATE);
  }
}

void Form::ShowAndActivate() {
  if (!Exists()) {
    return;
  }
  Wm().ShowWindow(hwnd_.Get(), pf::SW_SHOWNORMAL);
  Wm().SetForegroundWindow(hwnd_.Get());
}

int Form::Left() const {
  pf::Rect rect;
  Wm().GetWindowRect(hwnd_.Get(), &rect);
  return rect.left;
}

int Form::Top() const {
  pf::Rect rect;
  Wm().GetWindowRect(hwnd_.Get(), &rect);
  return rect.top;
}

int Form::Width() const {
  pf::Rect rect;
  Wm().GetWindowRect(hwnd_.Get(), &rect);
  return rect.Width();
}

int Form::Height() const {
  pf::Rect rect;
  Wm().GetWindowRect(hwnd_.Get(), &rect);
  return rect.Height();
}

void Form::SetHeight(int height) {
  Wm().SetWindowPos(hwnd_.Get(), 0, 0, 0, Width(), Clamp(height, 0, kMaxSize),
                    pf::SWP_NOACTIVATE | pf::SWP_NOZORDER | pf::SWP_NOMOVE);
}

void Form::SetAlwaysOnTop(bool onTop) {
  alwaysOnTop_ = onTop;
  Wm().SetWindowPos(hwnd_.Get(), onTop ? pf::HWND_TOPMOST : pf::HWND_NOTOPMOST, 0, 0, 0, 0,
                    pf::SWP_NOACTIVATE | pf::SWP_NOMOVE | pf::SWP_NOSIZE);
}

void Form::SetFocus() { Wm().SetFocus(hwnd_.Get()); }

bool Form::Contains(pf::Hwnd hwnd) const {
  for (int depth = 0; hwnd != 0 && depth < kMaxTreeDepth; ++depth) {
    if (hwnd == hwnd_.Get()) {
      return true;
    }
    hwnd = Wm().GetAncestor(hwnd, pf::GA_PARENT);
  }
  return false;
}

void Form::StartDragMove(pf::Point screenPoint) {
  Wm().PostMessageW(hwnd_.Get(), pf::WM_NCLBUTTONDOWN, static_cast<pf::WParam>(pf::HTCAPTION),
                    static_cast<pf::LParam>(MakeLong(screenPoint.x, screenPoint.y)));
}

bool Form::PreTranslate(const pf::Msg& msg) {
  if ((msg.message != pf::WM_KEYDOWN && msg.message != pf::WM_SYSKEYDOWN) || !Contains(msg.hwnd)) {
    return false;
  }
  const bool ctrl = Wm().GetKeyState(pf::VK_CONTROL) < 0;
  const bool shift = Wm().GetKeyState(pf::VK_SHIFT) < 0;
  const bool alt = Wm().GetKeyState(pf::VK_MENU) < 0;
  switch (static_cast<int>(msg.wParam)) {
    case pf::VK_ESCAPE:
      if (ctrl || shift || alt) {
        return false;
      }
      // No control of this toolkit claims Esc, so it always closes the window.
      Wm().SendMessageW(hwnd_.Get(), pf::WM_CLOSE, 0, 0);
      return true;
    case pf::VK_TAB:
      if (ctrl || alt) {
        return false;
      }
      MoveFocusByTab(shift);
      return true;
    default:
      return false;
  }
}

void Form::MoveFocusByTab(bool backward) {
  std::vector<Control*> stops;
  for (const auto& control : controls_) {
    if (control->IsTabStop()) {
      stops.push_back(control.get());
    }
  }
  if (stops.empty()) {
    return;
  }
  const pf::Hwnd focus = Wm().GetFocus();
  std::size_t current = stops.size();
  for (std::size_t i = 0; i < stops.size(); ++i) {
    if (stops[i]->Handle() == focus) {
      current = i;
    }
  }
  std::size_t next = 0;
  if (current == stops.size()) {
    next = backward ? stops.size() - 1 : 0;
  } else if (backward) {
    next = (current + stops.size() - 1) % stops.size();
  } else {
    next = (current + 1) % stops.size();
  }
  Wm().SetFocus(stops[next]->Handle());
}

void Form::PassFocusOn() {
  if (rememberedFocus_ != 0 && Wm().IsWindow(rememberedFocus_) && Contains(rememberedFocus_) &&
      rememberedFocus_ != hwnd_.Get()) {
    Wm().SetFocus(rememberedFocus_);
    return;
  }
  // All tab stops share one tab order; among equals the one latest in layout order wins.
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    if ((*it)->IsTabStop()) {
      Wm().SetFocus((*it)->Handle());
      return;
    }
  }
}

void Form::PaintBackground(pf::Hdc dc) {
  pf::Rect client;
  Wm().GetClientRect(hwnd_.Get(), &client);
  const UniqueGdiObject brush(Wm(), Wm().CreateSolidBrush(Resolve(Wm(), description_.background)));
  Wm().FillRect(dc, client, brush.Get());
}

pf::LResult LEDBANNER_CALLBACK Form::WindowProc(pf::Hwnd hwnd, pf::UInt message, pf::WParam wParam,
                                                pf::LParam lParam) {
  WindowManager& wm = Runtime::Current().Wm();
  auto* form = reinterpret_cast<Form*>(wm.GetWindowLongPtrW(hwnd, pf::GWLP_USERDATA));
  if (form == nullptr || form->hwnd_.Get() != hwnd) {
    return wm.DefWindowProcW(hwnd, message, wParam, lParam);
  }
  return form->OnMessage(message, wParam, lParam);
}

pf::LResult Form::OnMessage(pf::UInt message, pf::WParam wParam, pf::LParam lParam) {
  const pf::Hwnd hwnd = hwnd_.Get();
  pf::LResult routed = 0;
  if (RouteToChild(*this, message, wParam, lParam, routed)) {
    return routed;
  }
  switch (message) {
    case pf::WM_ERASEBKGND:
      PaintBackground(static_cast<pf::Hdc>(wParam));
      return 1;
    case pf::WM_LBUTTONDOWN: {
      pf::Point point{SignedLowWord(lParam), SignedHighWord(lParam)};
      Wm().ClientToScreen(hwnd, &point);
      StartDragMove(point);
      break;  // the press itself still reaches the window
    }
    case pf::WM_ACTIVATE:
      if (LowWord(wParam) == static_cast<int>(pf::WA_INACTIVE)) {
        const pf::Hwnd focus = Wm().GetFocus();
        if (focus != hwnd && Contains(focus)) {
          rememberedFocus_ = focus;
        }
      }
      break;
    case pf::WM_SETFOCUS:
      PassFocusOn();
      return 0;
    case pf::WM_SETCURSOR:
      // The standard arrow everywhere in the window, over the edit boxes too.
      if (LowWord(static_cast<std::uintptr_t>(lParam)) == static_cast<int>(pf::HTCLIENT)) {
        Wm().SetCursor(Wm().LoadCursorW(pf::IDC_ARROW));
        return 1;
      }
      break;
    case pf::WM_DESTROY:
      if (runtime_.LoopStarted()) {
        Wm().PostQuitMessage(0);
      }
      return 0;
    case pf::WM_NCDESTROY:
      hwnd_.Abandon();
      return Wm().DefWindowProcW(hwnd, message, wParam, lParam);
    default:
      break;
  }
  return Wm().DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace ledbanner::toolkit
