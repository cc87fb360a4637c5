#include "placement/window_snapshot.h"

#include <algorithm>
#include <cstring>

namespace ledbanner::placement {

thread_local WindowList windowList;

namespace {

constexpr int kClassBufferLength = 64;
// CollectWindow gets no context (its argument is always 0), so the rebuild leaves the call path
// here for it.
thread_local platform::DeclaredFunctions* collectingWith = nullptr;

// A buffer of `length` spaces and a NUL: what the window manager does not write stays spaces.
std::string SpaceFilled(std::size_t length) {
  std::string buffer(length + 1, ' ');
  buffer[length] = '\0';
  return buffer;
}

// The stored text is what the window manager wrote, up to its first NUL.
std::string UpToFirstNul(const std::string& buffer) {
  return {buffer.c_str(), std::strlen(buffer.c_str())};
}

}  // namespace

const WindowEntry* WindowList::Entry(std::size_t index) const {
  if (index < 1 || index > entries_.size()) {
    return nullptr;
  }
  return entries_[index - 1].get();
}

void WindowList::Clear() {
  entries_.clear();
  entries_.shrink_to_fit();
}

SnapshotScope::SnapshotScope(platform::DeclaredFunctions& user32) { collectingWith = &user32; }

SnapshotScope::~SnapshotScope() { collectingWith = nullptr; }

int LEDBANNER_CALLBACK CollectWindow(platform::Hwnd hwnd, platform::LParam /*unused*/) {
  if (collectingWith == nullptr) {
    return 1;
  }
  platform::DeclaredFunctions& user32 = *collectingWith;
  auto entry = std::make_unique<WindowEntry>();
  entry->hwnd = hwnd;

  // A negative length from a failing call counts as 0, so the buffer is never sized from it.
  const int length = std::max(user32.GetWindowTextLengthA(hwnd), 0);
  const int titleCapacity = length + 1;
  std::string title = SpaceFilled(static_cast<std::size_t>(titleCapacity));
  user32.GetWindowTextA(hwnd, title.data(), titleCapacity);
  entry->title = UpToFirstNul(title);

  std::string className = SpaceFilled(kClassBufferLength);
  user32.GetClassNameA(hwnd, className.data(), kClassBufferLength);
  entry->className = UpToFirstNul(className);

  windowList.Append(std::move(entry));
  return 1;
}

void RebuildWindowList(platform::DeclaredFunctions& user32) {
  windowList.Clear();
  const SnapshotScope scope(user32);
  user32.EnumWindows(&CollectWindow, 0);
}

}  // namespace ledbanner::placement
