#include "platform/in_memory/hotkey_table.h"

#include <algorithm>

#include "platform/win_constants.h"

namespace ledbanner::platform {
namespace {

constexpr UInt kModWin = 0x0008;
constexpr UInt kModNoRepeat = 0x4000;

// Only the keys count when comparing combinations; MOD_NOREPEAT is a delivery option.
UInt KeyModifiers(UInt modifiers) {
  return modifiers & (MOD_ALT | MOD_CONTROL | MOD_SHIFT | kModWin);
}

}  // namespace

HotkeyTable::OwnerId HotkeyTable::NewOwner() {
  const std::lock_guard lock(mutex_);
  return nextOwner_++;
}

bool HotkeyTable::Register(OwnerId owner, Hwnd hwnd, int id, UInt modifiers, UInt virtualKey) {
  const std::lock_guard lock(mutex_);
  const UInt keys = KeyModifiers(modifiers);
  const bool taken = std::any_of(entries_.begin(), entries_.end(), [&](const Entry& entry) {
    return entry.modifiers == keys && entry.virtualKey == virtualKey;
  });
  if (taken) {
    return false;
  }
  entries_.push_back({owner, hwnd, id, keys, virtualKey, (modifiers & kModNoRepeat) != 0});
  return true;
}

bool HotkeyTable::Unregister(OwnerId owner, Hwnd hwnd, int id) {
  const std::lock_guard lock(mutex_);
  return std::erase_if(entries_, [&](const Entry& entry) {
           return entry.owner == owner && entry.hwnd == hwnd && entry.id == id;
         }) > 0;
}

void HotkeyTable::DropWindow(OwnerId owner, Hwnd hwnd) {
  const std::lock_guard lock(mutex_);
  std::erase_if(entries_,
                [&](const Entry& entry) { return entry.owner == owner && entry.hwnd == hwnd; });
  std::erase_if(pending_, [&](const Pending& pending) {
    return pending.owner == owner && pending.msg.hwnd == hwnd;
  });
}

void HotkeyTable::DropOwner(OwnerId owner) {
  const std::lock_guard lock(mutex_);
  std::erase_if(entries_, [&](const Entry& entry) { return entry.owner == owner; });
  std::erase_if(pending_, [&](const Pending& pending) { return pending.owner == owner; });
}

bool HotkeyTable::IsRegistered(UInt modifiers, UInt virtualKey) const {
  const std::lock_guard lock(mutex_);
  const UInt keys = KeyModifiers(modifiers);
  return std::any_of(entries_.begin(), entries_.end(), [&](const Entry& entry) {
    return entry.modifiers == keys && entry.virtualKey == virtualKey;
  });
}

std::size_t HotkeyTable::Count() const {
  const std::lock_guard lock(mutex_);
  return entries_.size();
}

bool HotkeyTable::Press(UInt modifiers, UInt virtualKey, int repeat) {
  const std::lock_guard lock(mutex_);
  const UInt keys = KeyModifiers(modifiers);
  const auto entry = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& candidate) {
    return candidate.modifiers == keys && candidate.virtualKey == virtualKey;
  });
  if (entry == entries_.end()) {
    return false;
  }
  if (entry->owner == 0) {
    return true;  // the other program swallows it
  }
  const int count = entry->noRepeat ? 1 : std::max(repeat, 1);
  for (int i = 0; i < count; ++i) {
    Msg msg;
    msg.hwnd = entry->hwnd;
    msg.message = WM_HOTKEY;
    msg.wParam = static_cast<WParam>(entry->id);
    msg.lParam = static_cast<LParam>((keys & 0xFFFF) | ((virtualKey & 0xFFFF) << 16));
    pending_.push_back({entry->owner, msg});
  }
  return true;
}

std::vector<Msg> HotkeyTable::TakePending(OwnerId owner) {
  const std::lock_guard lock(mutex_);
  std::vector<Msg> taken;
  for (const Pending& pending : pending_) {
    if (pending.owner == owner) {
      taken.push_back(pending.msg);
    }
  }
  std::erase_if(pending_, [&](const Pending& pending) { return pending.owner == owner; });
  return taken;
}

}  // namespace ledbanner::platform
