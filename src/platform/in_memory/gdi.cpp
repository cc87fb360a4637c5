// Painting and the graphics device interface: update regions, DCs, objects, the drawing log and
// a stub text measurer.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "platform/in_memory/extra_constants.h"
#include "platform/in_memory/geometry.h"
#include "platform/in_memory/in_memory_window_manager.h"
#include "platform/win_constants.h"

namespace ledbanner::platform {

namespace {

constexpr ColorRef kWhite = Rgb(255, 255, 255);
constexpr int kDefaultTextHeight = 16;  // a font of height 0 gets the system font's size

ColorRef SystemColor(int index, ColorRef buttonFace) {
  switch (index) {
    case COLOR_BTNFACE:
      return buttonFace;
    case extra::COLOR_WINDOW:
      return kWhite;
    case extra::COLOR_GRAYTEXT:
      return Rgb(109, 109, 109);
    default:
      return 0;  // window text, button text and the rest: black
  }
}

LogFont MakeLogFont(std::int32_t height, std::int32_t weight, std::u16string face) {
  LogFont font;
  font.height = height;
  font.weight = weight;
  font.charSet = DEFAULT_CHARSET;
  font.faceName = std::move(face);
  return font;
}

}  // namespace

void InMemoryWindowManager::CreateStockObjects() {
  const auto brush = [](ColorRef color, bool hollow = false) {
    GdiObjectInfo info;
    info.kind = GdiKind::kBrush;
    info.stock = true;
    info.color = color;
    info.hollow = hollow;
    return info;
  };
  const auto font = [](LogFont logFont, int textHeight) {
    GdiObjectInfo info;
    info.kind = GdiKind::kFont;
    info.stock = true;
    info.font = std::move(logFont);
    info.textHeight = textHeight;
    return info;
  };
  stock_[extra::WHITE_BRUSH] = AddGdi(brush(kWhite));
  stock_[extra::LTGRAY_BRUSH] = AddGdi(brush(Rgb(192, 192, 192)));
  stock_[extra::GRAY_BRUSH] = AddGdi(brush(Rgb(128, 128, 128)));
  stock_[extra::DKGRAY_BRUSH] = AddGdi(brush(Rgb(64, 64, 64)));
  stock_[extra::BLACK_BRUSH] = AddGdi(brush(0));
  stock_[extra::NULL_BRUSH] = AddGdi(brush(0, true));
  stock_[extra::SYSTEM_FONT] = AddGdi(font(MakeLogFont(16, FW_BOLD, u"System"), 16));
  // 8 pt at 96 dpi: an em of 11 px in a character cell of 13 px.
  stock_[DEFAULT_GUI_FONT] = AddGdi(font(MakeLogFont(-11, FW_NORMAL, u"MS Shell Dlg"), 13));

  GdiObjectInfo bitmap;
  bitmap.kind = GdiKind::kBitmap;
  bitmap.stock = true;
  bitmap.width = 1;
  bitmap.height = 1;
  bitmap.monochrome = true;
  defaultBitmap_ = AddGdi(bitmap);
  windowBrush_ = AddGdi(brush(kWhite), extra::COLOR_WINDOW);
  buttonFaceBrush_ = AddGdi(brush(buttonFace_), COLOR_BTNFACE);
}

Hgdiobj InMemoryWindowManager::AddGdi(GdiObjectInfo info, int sysColor) {
  const Hgdiobj handle = NewHandle();
  gdi_[handle] = {std::move(info), sysColor};
  return handle;
}

std::size_t InMemoryWindowManager::LiveGdiObjectCount() const {
  return static_cast<std::size_t>(std::count_if(
      gdi_.begin(), gdi_.end(), [](const auto& entry) { return !entry.second.info.stock; }));
}

std::optional<GdiObjectInfo> InMemoryWindowManager::GdiObject(Hgdiobj object) const {
  const auto it = gdi_.find(object);
  if (it == gdi_.end()) {
    return std::nullopt;
  }
  GdiObjectInfo info = it->second.info;
  if (it->second.sysColor >= 0) {
    info.color = SystemColor(it->second.sysColor, buttonFace_);
  }
  return info;
}

InMemoryWindowManager::BrushColor InMemoryWindowManager::ResolveBrush(Hgdiobj brush) const {
  // Windows also takes a system colour index + 1 in place of a brush.
  if (brush >= 1 && brush <= 31) {
    return {true, false, SystemColor(static_cast<int>(brush) - 1, buttonFace_)};
  }
  const auto it = gdi_.find(brush);
  if (it == gdi_.end() || it->second.info.kind != GdiKind::kBrush) {
    return {};
  }
  if (it->second.info.hollow) {
    return {true, true, 0};
  }
  if (it->second.sysColor >= 0) {
    return {true, false, SystemColor(it->second.sysColor, buttonFace_)};
  }
  return {true, false, it->second.info.color};
}

// ---- Update regions ----

bool InMemoryWindowManager::InvalidateRect(Hwnd hwnd, const Rect* rect, bool erase) {
  RecordCall("InvalidateRect", hwnd,
             rect == nullptr ? std::vector<std::intptr_t>{erase ? 1 : 0, 0}
                             : std::vector<std::intptr_t>{erase ? 1 : 0, 1, rect->left, rect->top,
                                                          rect->right, rect->bottom});
  if (hwnd == 0) {
    for (const Hwnd top : TopLevelWindows()) {
      if (!Find(top)->foreign) {
        InvalidateImpl(top, rect, erase);
      }
    }
    return true;
  }
  return InvalidateImpl(hwnd, rect, erase);
}

bool InMemoryWindowManager::InvalidateImpl(Hwnd hwnd, const Rect* rect, bool erase) {
  Window* window = Find(hwnd);
  if (window == nullptr || hwnd == desktop_) {
    return false;
  }
  const Rect client = ClientSize(*window);
  const Rect area = rect == nullptr ? client : geometry::Intersect(*rect, client);
  if (geometry::IsEmpty(area)) {
    return true;
  }
  window->update = window->hasUpdate ? geometry::Union(window->update, area) : area;
  window->hasUpdate = true;
  window->erasePending = window->erasePending || erase;
  // Without WS_CLIPCHILDREN the parent paints over its children, so they are invalidated too.
  if ((window->style & WS_CLIPCHILDREN) != 0) {
    return true;
  }
  for (const Hwnd childHandle : std::vector<Hwnd>(window->children)) {
    const Window* child = Find(childHandle);
    if (child == nullptr || (child->style & WS_VISIBLE) == 0) {
      continue;
    }
    const Rect overlap = geometry::Intersect(area, child->rect);
    if (geometry::IsEmpty(overlap)) {
      continue;
    }
    const Rect inChild = geometry::Offset(overlap, -(child->rect.left + child->frame.left),
                                          -(child->rect.top + child->frame.top));
    InvalidateImpl(childHandle, &inChild, erase);
  }
  return true;
}

void InMemoryWindowManager::InvalidateTree(Hwnd hwnd) {
  const Window* window = Find(hwnd);
  if (window == nullptr) {
    return;
  }
  InvalidateImpl(hwnd, nullptr, true);
  for (const Hwnd child : std::vector<Hwnd>(window->children)) {
    const Window* childWindow = Find(child);
    if (childWindow != nullptr && (childWindow->style & WS_VISIBLE) != 0) {
      InvalidateTree(child);
    }
  }
}

void InMemoryWindowManager::InvalidateParentArea(const Window& window, const Rect& rectInParent) {
  if (window.parent == desktop_) {
    return;  // other programs repaint the desktop themselves
  }
  InvalidateImpl(window.parent, &rectInParent, true);
}

std::optional<Rect> InMemoryWindowManager::PendingUpdate(Hwnd hwnd) const {
  const Window* window = Find(hwnd);
  if (window == nullptr || !window->hasUpdate) {
    return std::nullopt;
  }
  return window->update;
}

bool InMemoryWindowManager::UpdateWindow(Hwnd hwnd) {
  const Window* window = Find(hwnd);
  if (window == nullptr) {
    return false;
  }
  if (window->hasUpdate && IsVisibleImpl(hwnd)) {
    Send(hwnd, WM_PAINT, 0, 0);
  }
  window = Find(hwnd);
  if (window == nullptr) {
    return true;
  }
  for (const Hwnd child : std::vector<Hwnd>(window->children)) {
    UpdateWindow(child);
  }
  return true;
}

// ---- Device contexts ----

Hdc InMemoryWindowManager::NewWindowDc(Hwnd hwnd, Rect clip) {
  Dc dc;
  dc.window = hwnd;
  dc.clip = clip;
  dc.brush = stock_[extra::WHITE_BRUSH];
  dc.font = stock_[extra::SYSTEM_FONT];
  const Hdc handle = NewHandle();
  dcs_.emplace(handle, dc);
  return handle;
}

InMemoryWindowManager::Dc* InMemoryWindowManager::FindDc(Hdc hdc) {
  const auto it = dcs_.find(hdc);
  return it == dcs_.end() ? nullptr : &it->second;
}

Hdc InMemoryWindowManager::BeginPaint(Hwnd hwnd, PaintStruct* paint) {
  Window* window = Find(hwnd);
  if (window == nullptr || paint == nullptr) {
    return 0;
  }
  const Rect update = window->hasUpdate ? window->update : Rect{};
  const bool erase = window->erasePending;
  // Validate first, so that an invalidation while painting stays pending.
  window->hasUpdate = false;
  window->erasePending = false;
  const Hdc hdc = NewWindowDc(hwnd, update);
  bool mustErase = false;
  if (erase) {
    mustErase = Send(hwnd, WM_ERASEBKGND, static_cast<WParam>(hdc), 0) == 0;
  }
  paint->hdc = hdc;
  paint->erase = mustErase;
  paint->rcPaint = update;
  return hdc;
}

bool InMemoryWindowManager::EndPaint(Hwnd /*hwnd*/, const PaintStruct& paint) {
  const Dc* dc = FindDc(paint.hdc);
  if (dc == nullptr || dc->memory) {
    return false;
  }
  dcs_.erase(paint.hdc);
  return true;
}

Hdc InMemoryWindowManager::GetDC(Hwnd hwnd) {
  if (hwnd == 0) {
    return NewWindowDc(desktop_, Find(desktop_)->rect);
  }
  const Window* window = Find(hwnd);
  if (window == nullptr) {
    return 0;
  }
  return NewWindowDc(hwnd, ClientSize(*window));
}

int InMemoryWindowManager::ReleaseDC(Hwnd /*hwnd*/, Hdc hdc) {
  const Dc* dc = FindDc(hdc);
  if (dc == nullptr || dc->memory) {
    return 0;
  }
  dcs_.erase(hdc);
  return 1;
}

Hdc InMemoryWindowManager::CreateCompatibleDC(Hdc hdc) {
  if (IsFailing("CreateCompatibleDC")) {
    return 0;
  }
  if (hdc != 0 && FindDc(hdc) == nullptr) {
    return 0;
  }
  Dc dc;
  dc.memory = true;
  dc.bitmap = defaultBitmap_;
  dc.brush = stock_[extra::WHITE_BRUSH];
  dc.font = stock_[extra::SYSTEM_FONT];
  const Hdc handle = NewHandle();
  dcs_.emplace(handle, dc);
  return handle;
}

bool InMemoryWindowManager::DeleteDC(Hdc hdc) {
  const Dc* dc = FindDc(hdc);
  if (dc == nullptr || !dc->memory) {
    return false;
  }
  dcs_.erase(hdc);
  return true;
}

// ---- Objects ----

Hgdiobj InMemoryWindowManager::CreateCompatibleBitmap(Hdc hdc, int width, int height) {
  if (IsFailing("CreateCompatibleBitmap") || width < 0 || height < 0) {
    return 0;
  }
  const Dc* dc = hdc == 0 ? nullptr : FindDc(hdc);
  if (hdc != 0 && dc == nullptr) {
    return 0;
  }
  GdiObjectInfo info;
  info.kind = GdiKind::kBitmap;
  info.width = width;
  info.height = height;
  // Compatible with a fresh memory DC means monochrome, a classic trap that Windows sets too.
  info.monochrome = dc != nullptr && dc->memory && gdi_.at(dc->bitmap).info.monochrome;
  if (width == 0 || height == 0) {
    info = {GdiKind::kBitmap, false, 0, false, 1, 1, true, {}, 0};
  }
  return AddGdi(info);
}

Hgdiobj InMemoryWindowManager::CreateBitmap(int width, int height, UInt planes, UInt bitsPerPixel,
                                            const void* /*bits*/) {
  if (IsFailing("CreateBitmap") || width < 0 || height < 0) {
    return 0;
  }
  GdiObjectInfo info;
  info.kind = GdiKind::kBitmap;
  info.width = width;
  info.height = height;
  info.monochrome = planes == 1 && bitsPerPixel == 1;
  return AddGdi(info);
}

Hgdiobj InMemoryWindowManager::CreateSolidBrush(ColorRef color) {
  if (IsFailing("CreateSolidBrush")) {
    return 0;
  }
  GdiObjectInfo info;
  info.kind = GdiKind::kBrush;
  info.color = color;
  return AddGdi(info);
}

Hgdiobj InMemoryWindowManager::CreateFontIndirectW(const LogFont& font) {
  if (IsFailing("CreateFontIndirectW")) {
    return 0;
  }
  GdiObjectInfo info;
  info.kind = GdiKind::kFont;
  info.font = font;
  info.font.faceName = info.font.faceName.substr(0, 31);
  info.textHeight = font.height == 0 ? kDefaultTextHeight : std::abs(font.height);
  return AddGdi(info);
}

Hgdiobj InMemoryWindowManager::GetStockObject(int object) {
  const auto it = stock_.find(object);
  return it == stock_.end() ? 0 : it->second;
}

bool InMemoryWindowManager::IsSelected(Hgdiobj object) const {
  return std::any_of(dcs_.begin(), dcs_.end(), [&](const auto& entry) {
    const Dc& dc = entry.second;
    return dc.bitmap == object || dc.brush == object || dc.font == object;
  });
}

Hgdiobj InMemoryWindowManager::SelectObject(Hdc hdc, Hgdiobj object) {
  Dc* dc = FindDc(hdc);
  const auto it = gdi_.find(object);
  if (dc == nullptr || it == gdi_.end()) {
    return 0;
  }
  Hgdiobj previous = 0;
  switch (it->second.info.kind) {
    case GdiKind::kBitmap:
      // A bitmap goes only into a memory DC, and into one DC at a time.
      if (!dc->memory) {
        return 0;
      }
      if (dc->bitmap != object && IsSelected(object) && object != defaultBitmap_) {
        return 0;
      }
      previous = dc->bitmap;
      dc->bitmap = object;
      return previous;
    case GdiKind::kBrush:
      previous = dc->brush;
      dc->brush = object;
      return previous;
    case GdiKind::kFont:
      previous = dc->font;
      dc->font = object;
      return previous;
  }
  return 0;
}

bool InMemoryWindowManager::DeleteObject(Hgdiobj object) {
  const auto it = gdi_.find(object);
  if (it == gdi_.end() || it->second.info.stock || IsSelected(object)) {
    return false;
  }
  gdi_.erase(it);
  return true;
}

// ---- Drawing ----

DrawOp InMemoryWindowManager::NewOp(const char* op, Hdc hdc, const Dc& dc) const {
  DrawOp draw;
  draw.op = op;
  draw.dc = hdc;
  draw.targetIsWindow = !dc.memory;
  draw.target = dc.memory ? dc.bitmap : dc.window;
  if (dc.memory) {
    const auto bitmap = gdi_.find(dc.bitmap);
    draw.clip = bitmap == gdi_.end()
                    ? Rect{}
                    : Rect{0, 0, bitmap->second.info.width, bitmap->second.info.height};
  } else {
    draw.clip = dc.clip;
  }
  draw.color = dc.textColor;
  draw.bkColor = dc.bkColor;
  draw.bkMode = dc.bkMode;
  if (const GdiRecord* font = FontOf(dc)) {
    draw.font = dc.font;
    draw.fontHeight = font->info.font.height;
    draw.fontWeight = font->info.font.weight;
    draw.fontFace = font->info.font.faceName;
  }
  draw.brushColor = ResolveBrush(dc.brush).color;
  return draw;
}

int InMemoryWindowManager::FillRect(Hdc hdc, const Rect& rect, Hgdiobj brush) {
  const Dc* dc = FindDc(hdc);
  const BrushColor color = ResolveBrush(brush);
  if (dc == nullptr || !color.valid) {
    return 0;
  }
  if (color.hollow) {
    return 1;  // a hollow brush paints nothing
  }
  DrawOp draw = NewOp("FillRect", hdc, *dc);
  draw.rect = rect;
  draw.color = color.color;
  drawLog_.push_back(std::move(draw));
  return 1;
}

ColorRef InMemoryWindowManager::SetTextColor(Hdc hdc, ColorRef color) {
  Dc* dc = FindDc(hdc);
  if (dc == nullptr) {
    return 0xFFFFFFFF;  // CLR_INVALID
  }
  return std::exchange(dc->textColor, color);
}

ColorRef InMemoryWindowManager::SetBkColor(Hdc hdc, ColorRef color) {
  Dc* dc = FindDc(hdc);
  if (dc == nullptr) {
    return 0xFFFFFFFF;
  }
  return std::exchange(dc->bkColor, color);
}

int InMemoryWindowManager::SetBkMode(Hdc hdc, int mode) {
  Dc* dc = FindDc(hdc);
  if (dc == nullptr || (mode != TRANSPARENT && mode != OPAQUE)) {
    return 0;
  }
  return std::exchange(dc->bkMode, mode);
}

const InMemoryWindowManager::GdiRecord* InMemoryWindowManager::FontOf(const Dc& dc) const {
  const auto it = gdi_.find(dc.font);
  return it == gdi_.end() ? nullptr : &it->second;
}

int InMemoryWindowManager::TextHeight(const Dc& dc) const {
  const GdiRecord* font = FontOf(dc);
  return font == nullptr ? kDefaultTextHeight : font->info.textHeight;
}

int InMemoryWindowManager::Advance(const Dc& dc, char16_t unit) const {
  const int height = TextHeight(dc);
  return unit < 0x80 ? (height + 1) / 2 : height;
}

int InMemoryWindowManager::TextWidth(const Dc& dc, std::u16string_view text) const {
  int width = 0;
  for (const char16_t unit : text) {
    width += Advance(dc, unit);
  }
  return width;
}

std::vector<std::u16string> InMemoryWindowManager::LayoutLines(const Dc& dc,
                                                               std::u16string_view text, int width,
                                                               UInt format) const {
  if ((format & DT_SINGLELINE) != 0) {
    return {std::u16string(text)};
  }
  std::vector<std::u16string> paragraphs(1);
  for (const char16_t unit : text) {
    if (unit == u'\n') {
      paragraphs.emplace_back();
    } else if (unit != u'\r') {
      paragraphs.back().push_back(unit);
    }
  }
  if ((format & DT_WORDBREAK) == 0) {
    return paragraphs;
  }
  std::vector<std::u16string> lines;
  for (const std::u16string& paragraph : paragraphs) {
    std::u16string line;
    std::size_t start = 0;
    while (start <= paragraph.size()) {
      std::size_t end = paragraph.find(u' ', start);
      if (end == std::u16string::npos) {
        end = paragraph.size();
      }
      const std::u16string word = paragraph.substr(start, end - start);
      start = end + 1;
      if (word.empty()) {
        continue;
      }
      std::u16string candidate = line;
      if (!candidate.empty()) {
        candidate += u' ';
      }
      candidate += word;
      // A word wider than the rectangle keeps a line of its own.
      if (line.empty() || TextWidth(dc, candidate) <= width) {
        line = candidate;
      } else {
        lines.push_back(line);
        line = word;
      }
    }
    lines.push_back(line);
  }
  return lines;
}

int InMemoryWindowManager::DrawTextW(Hdc hdc, std::u16string_view text, Rect* rect, UInt format) {
  const Dc* dc = FindDc(hdc);
  if (dc == nullptr || rect == nullptr) {
    return 0;
  }
  const std::vector<std::u16string> lines = LayoutLines(*dc, text, rect->Width(), format);
  int width = 0;
  for (const std::u16string& line : lines) {
    width = std::max(width, TextWidth(*dc, line));
  }
  const int height = static_cast<int>(lines.size()) * TextHeight(*dc);
  if ((format & DT_CALCRECT) != 0) {
    rect->right = rect->left + width;
    rect->bottom = rect->top + height;
    return height;
  }
  DrawOp draw = NewOp("DrawTextW", hdc, *dc);
  draw.rect = *rect;
  draw.flags = format;
  draw.text = text;
  drawLog_.push_back(std::move(draw));
  return height;
}

bool InMemoryWindowManager::ExtTextOutW(Hdc hdc, int x, int y, UInt options, const Rect* clip,
                                        std::u16string_view text, const int* dx) {
  const Dc* dc = FindDc(hdc);
  if (dc == nullptr) {
    return false;
  }
  int width = 0;
  if (dx != nullptr) {
    for (std::size_t i = 0; i < text.size(); ++i) {
      width += dx[i];
    }
  } else {
    width = TextWidth(*dc, text);
  }
  DrawOp draw = NewOp("ExtTextOutW", hdc, *dc);
  draw.rect = {x, y, x + width, y + TextHeight(*dc)};
  if (clip != nullptr) {
    draw.optionRect = *clip;
  }
  draw.flags = options;
  draw.text = text;
  drawLog_.push_back(std::move(draw));
  return true;
}

bool InMemoryWindowManager::GetTextExtentPoint32W(Hdc hdc, std::u16string_view text, Size* size) {
  const Dc* dc = FindDc(hdc);
  if (dc == nullptr || size == nullptr) {
    return false;
  }
  *size = {TextWidth(*dc, text), TextHeight(*dc)};
  return true;
}

bool InMemoryWindowManager::GetTextExtentExPointW(Hdc hdc, std::u16string_view text,
                                                  int* partialExtents, Size* size) {
  const Dc* dc = FindDc(hdc);
  if (dc == nullptr) {
    return false;
  }
  int extent = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    extent += Advance(*dc, text[i]);
    if (partialExtents != nullptr) {
      partialExtents[i] = extent;
    }
  }
  if (size != nullptr) {
    *size = {extent, TextHeight(*dc)};
  }
  return true;
}

bool InMemoryWindowManager::BitBlt(Hdc destination, int x, int y, int width, int height, Hdc source,
                                   int sourceX, int sourceY, UInt rasterOperation) {
  const Dc* dc = FindDc(destination);
  if (dc == nullptr) {
    return false;
  }
  // The operation reads the source when its result depends on the source bits.
  const bool usesSource = (((rasterOperation >> 2) ^ rasterOperation) & 0x00330000U) != 0;
  const Dc* sourceDc = source == 0 ? nullptr : FindDc(source);
  if (usesSource && sourceDc == nullptr) {
    return false;
  }
  DrawOp draw = NewOp("BitBlt", destination, *dc);
  draw.rect = {x, y, x + width, y + height};
  draw.rop = rasterOperation;
  if (sourceDc != nullptr) {
    draw.sourceIsWindow = !sourceDc->memory;
    draw.sourceTarget = sourceDc->memory ? sourceDc->bitmap : sourceDc->window;
    draw.sourceRect = {sourceX, sourceY, sourceX + width, sourceY + height};
  }
  drawLog_.push_back(std::move(draw));
  return true;
}

// ---- Device and system values ----

int InMemoryWindowManager::GetDeviceCaps(Hdc /*hdc*/, int index) {
  const Rect screen = Find(desktop_)->rect;
  switch (index) {
    case LOGPIXELSY:
    case extra::LOGPIXELSX:
      return dpi_;
    case extra::HORZRES:
      return screen.Width();
    case extra::VERTRES:
      return screen.Height();
    case extra::BITSPIXEL:
      return 32;
    case extra::PLANES:
      return 1;
    default:
      return 0;
  }
}

ColorRef InMemoryWindowManager::GetSysColor(int index) { return SystemColor(index, buttonFace_); }

int InMemoryWindowManager::GetSystemMetrics(int index) {
  const Rect screen = Find(desktop_)->rect;
  switch (index) {
    case SM_CXSCREEN:
      return screen.Width();
    case SM_CYSCREEN:
      return screen.Height();
    case SM_CXEDGE:
    case SM_CYEDGE:
      return 2;
    case extra::SM_CXBORDER:
    case extra::SM_CYBORDER:
      return 1;
    case extra::SM_CYCAPTION:
      return 23;
    case extra::SM_CXICON:
    case extra::SM_CYICON:
      return 32;
    case extra::SM_CXSMICON:
    case extra::SM_CYSMICON:
      return 16;
    default:
      return 0;
  }
}

int InMemoryWindowManager::MulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) {
    return -1;
  }
  const std::int64_t product = static_cast<std::int64_t>(number) * numerator;
  std::int64_t quotient = product / denominator;
  const std::int64_t remainder = product % denominator;
  // Halves round away from zero.
  if (2 * std::llabs(remainder) >= std::llabs(static_cast<std::int64_t>(denominator))) {
    quotient += ((product < 0) != (denominator < 0)) ? -1 : 1;
  }
  if (quotient > INT32_MAX || quotient < INT32_MIN) {
    return -1;
  }
  return static_cast<int>(quotient);
}

}  // namespace ledbanner::platform
