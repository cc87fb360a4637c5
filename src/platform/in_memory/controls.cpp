// The window procedures of the built-in EDIT, BUTTON and STATIC classes, and of foreign windows.
//
// They are plain window procedures, so a program can subclass them and chain with
// CallWindowProcW; they reach their instance through Current().
#include "platform/in_memory/extra_constants.h"
#include "platform/in_memory/geometry.h"
#include "platform/in_memory/in_memory_window_manager.h"
#include "platform/win_constants.h"

namespace ledbanner::platform {

void InMemoryWindowManager::Notify(Hwnd control, UInt code) {
  const Window* window = Find(control);
  if (window == nullptr || (window->style & WS_CHILD) == 0) {
    return;
  }
  Send(window->parent, WM_COMMAND,
       geometry::MakeWParam(static_cast<std::uintptr_t>(window->id), code),
       static_cast<LParam>(control));
}

void InMemoryWindowManager::PaintControl(Hwnd hwnd, UInt ctlColorMessage, bool edit) {
  PaintStruct paint;
  const Hdc hdc = BeginPaint(hwnd, &paint);
  const Window* window = Find(hwnd);
  if (window == nullptr) {
    return;
  }
  const Hwnd parent = (window->style & WS_CHILD) != 0 ? window->parent : hwnd;
  auto brush = static_cast<Hgdiobj>(
      Send(parent, ctlColorMessage, static_cast<WParam>(hdc), static_cast<LParam>(hwnd)));
  window = Find(hwnd);
  if (window == nullptr) {
    return;
  }
  if (!ResolveBrush(brush).valid) {
    brush = ctlColorMessage == WM_CTLCOLOREDIT ? windowBrush_ : buttonFaceBrush_;
  }
  if ((window->style & WS_DISABLED) != 0) {
    SetTextColor(hdc, GetSysColor(extra::COLOR_GRAYTEXT));
  }
  const Rect client = ClientSize(*window);
  FillRect(hdc, client, brush);
  const Hgdiobj previous =
      SelectObject(hdc, window->font != 0 ? window->font : GetStockObject(extra::SYSTEM_FONT));
  if (edit) {
    ExtTextOutW(hdc, 1, 1, 0, nullptr, window->text, nullptr);
  } else if (window->className == u"Button") {
    const UInt type = window->style & extra::BS_TYPEMASK;
    Rect text = client;
    if ((window->style & BS_PUSHLIKE) == 0 && type > 1) {  // 0, 1: push buttons
      const int top = (client.Height() - 13) / 2;
      FillRect(hdc, {0, top, 13, top + 13}, windowBrush_);
      if (window->checked) {
        FillRect(hdc, {3, top + 3, 10, top + 10}, GetStockObject(extra::BLACK_BRUSH));
      }
      text.left = 16;
    }
    DrawTextW(hdc, window->text, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  } else {
    Rect text = client;
    DrawTextW(hdc, window->text, &text,
              DT_LEFT | DT_WORDBREAK | ((window->style & SS_NOPREFIX) != 0 ? DT_NOPREFIX : 0));
  }
  if (previous != 0) {
    SelectObject(hdc, previous);
  }
  EndPaint(hwnd, paint);
}

LResult LEDBANNER_CALLBACK InMemoryWindowManager::EditProc(Hwnd hwnd, UInt message, WParam wParam,
                                                           LParam lParam) {
  InMemoryWindowManager& self = Current();
  Window* window = self.Find(hwnd);
  if (window == nullptr) {
    return 0;
  }
  const bool multiline = (window->style & ES_MULTILINE) != 0;
  const bool readOnly = (window->style & ES_READONLY) != 0;
  switch (message) {
    case WM_SETTEXT: {
      const LResult result = self.DefProc(hwnd, message, wParam, lParam);
      self.InvalidateImpl(hwnd, nullptr, true);
      if (!multiline) {
        self.Notify(hwnd, EN_CHANGE);
      }
      return result;
    }
    case WM_CHAR: {
      const auto unit = static_cast<char16_t>(wParam);
      if (readOnly) {
        return 0;
      }
      if (unit == 0x08) {
        if (window->text.empty()) {
          return 0;
        }
        window->text.pop_back();
      } else if (unit < 0x20 || unit == 0x7F || window->text.size() >= window->textLimit) {
        return 0;  // control characters are not text; a full box refuses more
      } else {
        window->text.push_back(unit);
      }
      window->ansiTitle.reset();
      self.InvalidateImpl(hwnd, nullptr, true);
      self.Notify(hwnd, EN_CHANGE);
      return 0;
    }
    case WM_GETDLGCODE:
      return extra::DLGC_WANTCHARS | extra::DLGC_HASSETSEL | extra::DLGC_WANTARROWS;
    case WM_LBUTTONDOWN:
      self.SetFocusImpl(hwnd);
      return 0;
    case WM_SETFONT:
      window->font = static_cast<Hgdiobj>(wParam);
      if ((lParam & 0xFFFF) != 0) {
        self.InvalidateImpl(hwnd, nullptr, true);
      }
      return 0;
    case WM_GETFONT:
      return static_cast<LResult>(window->font);
    case WM_SETFOCUS:
      self.Notify(hwnd, extra::EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      self.Notify(hwnd, extra::EN_KILLFOCUS);
      return 0;
    case WM_ENABLE:
      self.InvalidateImpl(hwnd, nullptr, true);
      return 0;
    case EM_LIMITTEXT:
      window->textLimit = wParam == 0 ? 0x7FFFFFFE : wParam;
      return 0;
    case EM_SETSEL:
    case EM_SETMARGINS:
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the paint fills the whole box
    case WM_PAINT:
      // A read-only or disabled box asks for static colours, as in Windows.
      self.PaintControl(
          hwnd,
          (readOnly || (window->style & WS_DISABLED) != 0) ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT,
          true);
      return 0;
    default:
      return self.DefProc(hwnd, message, wParam, lParam);
  }
}

LResult LEDBANNER_CALLBACK InMemoryWindowManager::ButtonProc(Hwnd hwnd, UInt message, WParam wParam,
                                                             LParam lParam) {
  InMemoryWindowManager& self = Current();
  Window* window = self.Find(hwnd);
  if (window == nullptr) {
    return 0;
  }
  const UInt type = window->style & extra::BS_TYPEMASK;
  const bool checkBox = type == BS_AUTOCHECKBOX || type == extra::BS_CHECKBOX ||
                        type == extra::BS_3STATE || type == extra::BS_AUTO3STATE ||
                        type == extra::BS_RADIOBUTTON || type == extra::BS_AUTORADIOBUTTON;
  const auto clicked = [&] {
    Window* target = self.Find(hwnd);
    if (target == nullptr) {
      return;
    }
    if (type == BS_AUTOCHECKBOX || type == extra::BS_AUTO3STATE) {
      target->checked = !target->checked;
    }
    if (type == extra::BS_AUTORADIOBUTTON) {
      target->checked = true;
    }
    self.InvalidateImpl(hwnd, nullptr, true);
    self.Notify(hwnd, BN_CLICKED);
  };
  switch (message) {
    case BM_GETCHECK:
      return window->checked ? static_cast<LResult>(BST_CHECKED)
                             : static_cast<LResult>(BST_UNCHECKED);
    case BM_SETCHECK:
      if (window->checked != (wParam != BST_UNCHECKED)) {
        window->checked = wParam != BST_UNCHECKED;
        self.InvalidateImpl(hwnd, nullptr, true);
      }
      return 0;
    case BM_CLICK:
      // Acts as a mouse click, so the button takes the focus and subclasses see the clicks.
      if ((window->style & WS_DISABLED) != 0) {
        return 0;
      }
      self.Send(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
      self.Send(hwnd, WM_LBUTTONUP, 0, 0);
      return 0;
    case WM_LBUTTONDOWN:
      self.SetFocusImpl(hwnd);
      if (Window* target = self.Find(hwnd)) {
        target->pushed = true;
      }
      self.InvalidateImpl(hwnd, nullptr, true);
      return 0;
    case WM_LBUTTONUP: {
      if (!window->pushed) {
        return 0;  // the press started elsewhere
      }
      window->pushed = false;
      const Point point = geometry::PointFromLParam(lParam);
      if (geometry::Contains(ClientSize(*window), point)) {
        clicked();
      }
      return 0;
    }
    case WM_KEYDOWN:
      if (static_cast<int>(wParam) != VK_SPACE) {
        return self.DefProc(hwnd, message, wParam, lParam);
      }
      window->pushed = true;
      self.InvalidateImpl(hwnd, nullptr, true);
      return 0;
    case WM_KEYUP:
      if (static_cast<int>(wParam) != VK_SPACE) {
        return self.DefProc(hwnd, message, wParam, lParam);
      }
      if (window->pushed) {
        window->pushed = false;
        clicked();
      }
      return 0;
    case WM_KILLFOCUS:
      window->pushed = false;
      self.InvalidateImpl(hwnd, nullptr, true);
      return 0;
    case WM_GETDLGCODE:
      return checkBox ? extra::DLGC_BUTTON : extra::DLGC_BUTTON | extra::DLGC_UNDEFPUSHBUTTON;
    case WM_SETFONT:
      window->font = static_cast<Hgdiobj>(wParam);
      if ((lParam & 0xFFFF) != 0) {
        self.InvalidateImpl(hwnd, nullptr, true);
      }
      return 0;
    case WM_GETFONT:
      return static_cast<LResult>(window->font);
    case WM_SETTEXT: {
      const LResult result = self.DefProc(hwnd, message, wParam, lParam);
      self.InvalidateImpl(hwnd, nullptr, true);
      return result;
    }
    case WM_ENABLE:
      self.InvalidateImpl(hwnd, nullptr, true);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      // Check boxes and radio buttons ask for static colours; push buttons for button colours.
      self.PaintControl(
          hwnd,
          (checkBox && (window->style & BS_PUSHLIKE) == 0) ? WM_CTLCOLORSTATIC : WM_CTLCOLORBTN,
          false);
      return 0;
    default:
      return self.DefProc(hwnd, message, wParam, lParam);
  }
}

LResult LEDBANNER_CALLBACK InMemoryWindowManager::StaticProc(Hwnd hwnd, UInt message, WParam wParam,
                                                             LParam lParam) {
  InMemoryWindowManager& self = Current();
  Window* window = self.Find(hwnd);
  if (window == nullptr) {
    return 0;
  }
  const bool notify = (window->style & SS_NOTIFY) != 0;
  switch (message) {
    case WM_NCHITTEST:
      return notify ? self.DefProc(hwnd, message, wParam, lParam) : HTTRANSPARENT;
    case WM_LBUTTONDOWN:
      if (notify) {
        self.Notify(hwnd, 0);  // STN_CLICKED
      }
      return 0;
    case WM_SETTEXT: {
      const LResult result = self.DefProc(hwnd, message, wParam, lParam);
      self.InvalidateImpl(hwnd, nullptr, true);
      return result;
    }
    case WM_SETFONT:
      window->font = static_cast<Hgdiobj>(wParam);
      if ((lParam & 0xFFFF) != 0) {
        self.InvalidateImpl(hwnd, nullptr, true);
      }
      return 0;
    case WM_GETFONT:
      return static_cast<LResult>(window->font);
    case WM_ENABLE:
      self.InvalidateImpl(hwnd, nullptr, true);
      return 0;
    case WM_GETDLGCODE:
      return extra::DLGC_STATIC;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      self.PaintControl(hwnd, WM_CTLCOLORSTATIC, false);
      return 0;
    default:
      return self.DefProc(hwnd, message, wParam, lParam);
  }
}

LResult LEDBANNER_CALLBACK InMemoryWindowManager::ForeignProc(Hwnd hwnd, UInt message,
                                                              WParam wParam, LParam lParam) {
  InMemoryWindowManager& self = Current();
  Window* window = self.Find(hwnd);
  if (window == nullptr) {
    return 0;
  }
  window->foreignMessages.push_back({hwnd, message, wParam, lParam, "received"});
  if (window->foreignHandler) {
    const auto handler = window->foreignHandler;  // it may replace itself or destroy the window
    if (const std::optional<LResult> answer = handler(message, wParam, lParam)) {
      return *answer;
    }
    window = self.Find(hwnd);
    if (window == nullptr) {
      return 0;
    }
  }
  // Another program may ignore a request to close.
  if (message == WM_CLOSE && !window->closesOnWmClose) {
    return 0;
  }
  return self.DefProc(hwnd, message, wParam, lParam);
}

void InMemoryWindowManager::ReplaceEditText(Hwnd edit, std::u16string_view text) {
  Window* window = Find(edit);
  if (window == nullptr) {
    return;
  }
  window->text = text.substr(0, window->textLimit);
  window->ansiTitle.reset();
  InvalidateImpl(edit, nullptr, true);
  Notify(edit, EN_CHANGE);
}

}  // namespace ledbanner::platform
