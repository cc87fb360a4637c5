// The system-wide hotkey registrations, shared by every simulated program of one test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/window_manager.h"

namespace ledbanner::platform {

// Two program copies (each with its own InMemoryWindowManager, possibly on its own thread) see
// each other's registrations through one table, as two processes do on one desktop. WM_HOTKEY
// messages for an owner wait here until that owner's message loop collects them, so only the
// table needs a lock.
class HotkeyTable {
 public:
  using OwnerId = std::uint64_t;  // 0 stands for a program that is not simulated

  OwnerId NewOwner();
  // Fails when anyone already holds the (modifiers, virtualKey) combination.
  bool Register(OwnerId owner, Hwnd hwnd, int id, UInt modifiers, UInt virtualKey);
  bool Unregister(OwnerId owner, Hwnd hwnd, int id);
  void DropWindow(OwnerId owner, Hwnd hwnd);
  void DropOwner(OwnerId owner);
  [[nodiscard]] bool IsRegistered(UInt modifiers, UInt virtualKey) const;
  [[nodiscard]] std::size_t Count() const;
  // When someone holds the combination, queues WM_HOTKEY for its owner (repeat times, once for a
  // MOD_NOREPEAT registration) and returns true.
  bool Press(UInt modifiers, UInt virtualKey, int repeat);
  std::vector<Msg> TakePending(OwnerId owner);

 private:
  struct Entry {
    OwnerId owner = 0;
    Hwnd hwnd = 0;
    int id = 0;
    UInt modifiers = 0;
    UInt virtualKey = 0;
    bool noRepeat = false;
  };
  struct Pending {
    OwnerId owner = 0;
    Msg msg;
  };

  mutable std::mutex mutex_;
  std::vector<Entry> entries_;
  std::vector<Pending> pending_;
  OwnerId nextOwner_ = 1;
};

}  // namespace ledbanner::platform
