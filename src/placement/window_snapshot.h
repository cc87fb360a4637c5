// A snapshot of every top-level window: handle, title and class name, in enumeration order.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/declared_functions.h"

namespace ledbanner::placement {

struct WindowEntry {
  platform::Hwnd hwnd = 0;
  std::optional<std::string> title;      // ANSI bytes as the window manager gave them
  std::optional<std::string> className;  // at most 63 bytes
};

// The 1-based list of the snapshot's entries, in the order the enumeration reported them.
class WindowList {
 public:
  [[nodiscard]] std::size_t Count() const { return entries_.size(); }
  // Entry i, 1-based; null outside 1 .. Count(), so a read past the end finds nothing.
  [[nodiscard]] const WindowEntry* Entry(std::size_t index) const;
  void Append(std::unique_ptr<WindowEntry> entry) { entries_.push_back(std::move(entry)); }
  // Frees every entry and the list's storage.
  void Clear();

 private:
  std::vector<std::unique_ptr<WindowEntry>> entries_;
};

// The program's one snapshot. One per thread, so that tests can run two copies of the program
// side by side, each on its own thread as a separate process would.
extern thread_local WindowList windowList;

// The declared functions that CollectWindow calls; set for the duration of a rebuild.
class SnapshotScope {
 public:
  explicit SnapshotScope(platform::DeclaredFunctions& user32);
  SnapshotScope(const SnapshotScope&) = delete;
  SnapshotScope& operator=(const SnapshotScope&) = delete;
  SnapshotScope(SnapshotScope&&) = delete;
  SnapshotScope& operator=(SnapshotScope&&) = delete;
  ~SnapshotScope();
};

// The EnumWindows callback: appends one entry for hwnd to windowList; always goes on.
int LEDBANNER_CALLBACK CollectWindow(platform::Hwnd hwnd, platform::LParam unused);

// Clears windowList and fills it again with every top-level window.
void RebuildWindowList(platform::DeclaredFunctions& user32);

}  // namespace ledbanner::placement
