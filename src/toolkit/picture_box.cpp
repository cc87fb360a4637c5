#include "toolkit/picture_box.h"

#include <algorithm>

#include "platform/win_constants.h"
#include "toolkit/geometry.h"

namespace ledbanner::toolkit {

namespace pf = platform;

namespace {

constexpr pf::ColorRef kBlack = pf::Rgb(0, 0, 0);
constexpr pf::ColorRef kWhite = pf::Rgb(255, 255, 255);

bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

PictureBox::~PictureBox() {
  for (GlyphMask& mask : masks_) {
    ReleaseMask(mask);
  }
  ReleaseBackBuffer();
}

void PictureBox::Create(pf::Hwnd parent) {
  pf::UInt style = pf::WS_CHILD;  // no WS_CLIPCHILDREN: the frame is painted over the children
  if (!description_.enabled) {
    style |= pf::WS_DISABLED;
  }
  hwnd_ = Wm().CreateWindowExW(0, kClassName, u"", style, description_.left, description_.top,
                               description_.width, description_.height, parent,
                               static_cast<std::uintptr_t>(id_), nullptr);
  if (hwnd_ != 0) {
    Wm().SetWindowLongPtrW(hwnd_, pf::GWLP_USERDATA, reinterpret_cast<pf::LongPtr>(this));
  }
}

pf::LResult PictureBox::OnMessage(pf::UInt message, pf::WParam wParam, pf::LParam lParam) {
  pf::LResult routed = 0;
  if (RouteToChild(form_, message, wParam, lParam, routed)) {
    return routed;
  }
  switch (message) {
    case pf::WM_ERASEBKGND:
      return 1;  // the frame covers everything
    case pf::WM_PAINT:
      Paint();
      return 0;
    case pf::WM_LBUTTONDOWN: {
      pf::Point point{SignedLowWord(lParam), SignedHighWord(lParam)};
      Wm().ClientToScreen(hwnd_, &point);
      form_.StartDragMove(point);
      return 0;  // the press moves the window and goes no further
    }
    default:
      return CallOriginal(message, wParam, lParam);
  }
}

void PictureBox::ChildAreaChanged(const pf::Rect& before, const pf::Rect& after) {
  pf::Rect client;
  Wm().GetClientRect(hwnd_, &client);
  const pf::Rect dirty = Intersect(Union(before, after), client);
  if (IsEmpty(dirty)) {
    return;
  }
  if (Wm().IsWindowVisible(hwnd_)) {
    // Painted at once through the window's DC. Invalidating would also invalidate every child
    // (the box has no WS_CLIPCHILDREN), and each would then get a WM_PAINT of its own that paints
    // nothing but still costs the window system a round of calls.
    const WindowDcScope screen(Wm(), hwnd_);
    if (screen.Dc() != 0 && ComposeFrame(dirty)) {
      Wm().BitBlt(screen.Dc(), dirty.left, dirty.top, dirty.Width(), dirty.Height(), backDc_.Get(),
                  dirty.left, dirty.top, pf::SRCCOPY);
      return;
    }
  }
  Wm().InvalidateRect(hwnd_, &dirty, false);
}

void PictureBox::ChildContentChanged(const Control& child) {
  for (TextLayout& layout : layouts_) {
    if (layout.owner == child.Handle()) {
      layout.stale = true;
    }
  }
  for (GlyphMask& mask : masks_) {
    if (mask.owner == child.Handle()) {
      mask.stale = true;
    }
  }
  const pf::Rect area = child.RectInParent();
  ChildAreaChanged(area, area);
}

void PictureBox::ReleaseBackBuffer() {
  if (backDc_ && originalBackBitmap_ != 0) {
    Wm().SelectObject(backDc_.Get(), originalBackBitmap_);
  }
  originalBackBitmap_ = 0;
  backBitmap_.Reset();
  backDc_.Reset();
  backWidth_ = 0;
  backHeight_ = 0;
}

void PictureBox::EnsureBackBuffer() {
  pf::Rect client;
  Wm().GetClientRect(hwnd_, &client);
  if (backDc_ && backBitmap_ && client.Width() == backWidth_ && client.Height() == backHeight_) {
    return;
  }
  ReleaseBackBuffer();
  const WindowDcScope screen(Wm(), hwnd_);
  backDc_ = UniqueMemoryDc(Wm(), Wm().CreateCompatibleDC(screen.Dc()));
  backBitmap_ = UniqueGdiObject(
      Wm(), Wm().CreateCompatibleBitmap(screen.Dc(), client.Width(), client.Height()));
  if (!backDc_ || !backBitmap_) {
    ReleaseBackBuffer();
    return;
  }
  originalBackBitmap_ = Wm().SelectObject(backDc_.Get(), backBitmap_.Get());
  backWidth_ = client.Width();
  backHeight_ = client.Height();
}

void PictureBox::Paint() {
  const PaintScope paint(Wm(), hwnd_);
  const pf::Rect area = paint.Area();
  if (IsEmpty(area) || !ComposeFrame(area)) {
    return;  // no memory for a frame: skip it rather than show a half-drawn one
  }
  Wm().BitBlt(paint.Dc(), area.left, area.top, area.Width(), area.Height(), backDc_.Get(),
              area.left, area.top, pf::SRCCOPY);
}

bool PictureBox::ComposeFrame(const pf::Rect& area) {
  EnsureBackBuffer();
  if (!backDc_) {
    return false;
  }
  const pf::Hdc dc = backDc_.Get();
  if (!backgroundBrush_) {
    backgroundBrush_ = UniqueGdiObject(Wm(), Wm().CreateSolidBrush(BackgroundColour()));
  }
  Wm().FillRect(dc, area, backgroundBrush_.Get());

  childOrder_.clear();
  for (pf::Hwnd child = Wm().GetWindow(hwnd_, pf::GW_CHILD); child != 0;
       child = Wm().GetWindow(child, pf::GW_HWNDNEXT)) {
    childOrder_.push_back(child);
  }
  // Bottom of the z-order first, so that each child lies over the ones beneath it.
  for (auto it = childOrder_.rbegin(); it != childOrder_.rend(); ++it) {
    const Control* child = form_.ControlByHandle(*it);
    if (child != nullptr && Wm().IsWindowVisible(*it)) {
      ComposeChild(*child, area);
    }
  }
  return true;
}

void PictureBox::ComposeChild(const Control& child, const pf::Rect& area) {
  const pf::Rect rect = child.RectInParent();
  const pf::Rect visible = Intersect(rect, area);
  if (IsEmpty(visible)) {
    return;
  }
  switch (child.Kind()) {
    case ControlKind::EditBox:
      DrawEditText(child, rect, visible);
      break;
    case ControlKind::Label:
      DrawLabel(child, rect, visible);
      break;
    case ControlKind::TransparentLabel:
      DrawGlyphMask(child, rect, visible);
      break;
    default:
      break;
  }
}

PictureBox::TextLayout& PictureBox::LayoutFor(const Control& edit) {
  auto found = std::find_if(layouts_.begin(), layouts_.end(), [&](const TextLayout& layout) {
    return layout.owner == edit.Handle();
  });
  if (found == layouts_.end()) {
    layouts_.emplace_back();
    layouts_.back().owner = edit.Handle();
    found = std::prev(layouts_.end());
  }
  TextLayout& layout = *found;
  if (layout.stale) {
    layout.text = edit.Text();
    layout.extents.assign(layout.text.size(), 0);
    if (!layout.text.empty()) {
      const SelectionGuard font(Wm(), backDc_.Get(), edit.Font());
      pf::Size size;
      Wm().GetTextExtentExPointW(backDc_.Get(), layout.text, layout.extents.data(), &size);
    }
    layout.stale = false;
  }
  return layout;
}

void PictureBox::DrawEditText(const Control& edit, const pf::Rect& rect, const pf::Rect& area) {
  const pf::Hdc dc = backDc_.Get();
  TextLayout& layout = LayoutFor(edit);
  if (!layout.background) {
    layout.background = UniqueGdiObject(Wm(), Wm().CreateSolidBrush(edit.BackgroundColour()));
  }
  Wm().FillRect(dc, area, layout.background.Get());
  if (layout.text.empty()) {
    return;
  }
  const int edge = edit.Description().sunkenEdge ? Wm().GetSystemMetrics(pf::SM_CXEDGE) : 0;
  const int originX = rect.left + edge;
  const int originY = rect.top + edge;
  // Only the units that reach into the area are drawn, found by binary search in the cached
  // advances: the cost of a frame does not depend on the length of the text.
  const auto& extents = layout.extents;
  std::size_t first = static_cast<std::size_t>(
      std::upper_bound(extents.begin(), extents.end(), area.left - originX) - extents.begin());
  std::size_t end = static_cast<std::size_t>(
      std::lower_bound(extents.begin(), extents.end(), area.right - originX) - extents.begin());
  end = std::min(end + 1, extents.size());
  if (first >= end) {
    return;
  }
  if (first > 0 && IsLowSurrogate(layout.text[first])) {
    --first;  // never split a surrogate pair
  }
  if (end < layout.text.size() && IsLowSurrogate(layout.text[end])) {
    ++end;
  }
  const int startX = originX + (first > 0 ? extents[first - 1] : 0);
  const std::u16string_view visibleText =
      std::u16string_view(layout.text).substr(first, end - first);

  const SelectionGuard font(Wm(), dc, edit.Font());
  Wm().SetTextColor(dc, edit.TextColour());
  Wm().SetBkMode(dc, pf::TRANSPARENT);
  Wm().ExtTextOutW(dc, startX, originY, pf::ETO_CLIPPED, &area, visibleText, nullptr);
}

void PictureBox::DrawLabel(const Control& label, const pf::Rect& rect, const pf::Rect& area) {
  const pf::Hdc dc = backDc_.Get();
  const UniqueGdiObject brush(Wm(), Wm().CreateSolidBrush(label.BackgroundColour()));
  Wm().FillRect(dc, area, brush.Get());
  const SelectionGuard font(Wm(), dc, label.Font());
  Wm().SetTextColor(dc, label.TextColour());
  Wm().SetBkMode(dc, pf::TRANSPARENT);
  pf::Rect textRect = rect;
  Wm().DrawTextW(dc, label.Text(), &textRect, pf::DT_SINGLELINE | pf::DT_VCENTER | pf::DT_LEFT);
}

void PictureBox::ReleaseMask(GlyphMask& mask) {
  if (mask.dc && mask.originalBitmap != 0) {
    Wm().SelectObject(mask.dc.Get(), mask.originalBitmap);
  }
  mask.originalBitmap = 0;
  mask.bitmap.Reset();
  mask.dc.Reset();
  mask.brush.Reset();
}

PictureBox::GlyphMask& PictureBox::MaskFor(const Control& label) {
  auto found = std::find_if(masks_.begin(), masks_.end(),
                            [&](const GlyphMask& mask) { return mask.owner == label.Handle(); });
  if (found == masks_.end()) {
    masks_.emplace_back();
    masks_.back().owner = label.Handle();
    found = std::prev(masks_.end());
  }
  GlyphMask& mask = *found;
  pf::Rect client;
  Wm().GetClientRect(label.Handle(), &client);
  if (!mask.stale && mask.dc && mask.width == client.Width() && mask.height == client.Height()) {
    return mask;
  }
  ReleaseMask(mask);
  mask.width = client.Width();
  mask.height = client.Height();
  mask.dc = UniqueMemoryDc(Wm(), Wm().CreateCompatibleDC(backDc_.Get()));
  mask.bitmap = UniqueGdiObject(Wm(), Wm().CreateBitmap(mask.width, mask.height, 1, 1, nullptr));
  mask.brush = UniqueGdiObject(Wm(), Wm().CreateSolidBrush(label.TextColour()));
  if (!mask.dc || !mask.bitmap || !mask.brush) {
    ReleaseMask(mask);
    return mask;
  }
  mask.originalBitmap = Wm().SelectObject(mask.dc.Get(), mask.bitmap.Get());
  // The glyphs are drawn once into a monochrome bitmap: 1 where a glyph is, 0 elsewhere.
  Wm().FillRect(mask.dc.Get(), client, Wm().GetStockObject(pf::BLACK_BRUSH));
  Wm().SetTextColor(mask.dc.Get(), kWhite);
  Wm().SetBkMode(mask.dc.Get(), pf::TRANSPARENT);
  const SelectionGuard font(Wm(), mask.dc.Get(), label.Font());
  DrawWrapped(mask.dc.Get(), label.Text(), client);
  mask.stale = false;
  return mask;
}

void PictureBox::DrawWrapped(pf::Hdc dc, std::u16string_view text, const pf::Rect& area) {
  // Word wrapping as a multi-line edit control does it: at the last space that fits, or, for a
  // word wider than the area, at the last character that fits. Laid out here rather than by
  // DrawTextW, which not every window system breaks inside an over-long word.
  pf::Size line;
  Wm().GetTextExtentPoint32W(dc, u"\u25CF", &line);
  const int lineHeight = std::max(line.cy, 1);
  std::vector<int> extents;
  for (int y = area.top; !text.empty() && y < area.bottom; y += lineHeight) {
    extents.assign(text.size(), 0);
    pf::Size size;
    Wm().GetTextExtentExPointW(dc, text, extents.data(), &size);
    const auto fits = static_cast<std::size_t>(
        std::upper_bound(extents.begin(), extents.end(), area.Width()) - extents.begin());
    std::size_t length = std::max<std::size_t>(fits, 1);
    if (length < text.size()) {
      const std::size_t space = text.substr(0, length).find_last_of(u' ');
      if (space != std::u16string_view::npos && space > 0) {
        length = space + 1;
      }
    }
    Wm().ExtTextOutW(dc, area.left, y, pf::ETO_CLIPPED, &area, text.substr(0, length), nullptr);
    text.remove_prefix(length);
  }
}

void PictureBox::DrawGlyphMask(const Control& label, const pf::Rect& rect, const pf::Rect& area) {
  const GlyphMask& mask = MaskFor(label);
  if (!mask.dc) {
    return;
  }
  const pf::Hdc dc = backDc_.Get();
  // A monochrome source blits as the destination's text colour for 0 and its background colour
  // for 1; black and white make the source exactly the mask, and the raster operation keeps the
  // destination where it is 0 and puts the glyph colour where it is 1.
  Wm().SetTextColor(dc, kBlack);
  Wm().SetBkColor(dc, kWhite);
  const SelectionGuard brush(Wm(), dc, mask.brush.Get());
  Wm().BitBlt(dc, area.left, area.top, area.Width(), area.Height(), mask.dc.Get(),
              area.left - rect.left, area.top - rect.top, pf::ROP_DSPDXAX);
}

}  // namespace ledbanner::toolkit
