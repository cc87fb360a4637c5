// Without a sanitizer, which brings its own allocator, the binaries that use the driver count the
// blocks that operator new handed out and that are not deleted yet.
#include <cstddef>
#include <cstdint>

#include "banner_driver.h"

#if defined(LEDBANNER_SOAK_ASAN)

std::int64_t ledbanner::soak::LiveAllocations() { return -1; }

#else

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<std::int64_t> liveAllocations{0};
}  // namespace

std::int64_t ledbanner::soak::LiveAllocations() {
  return liveAllocations.load(std::memory_order_relaxed);
}

void* operator new(std::size_t size) {
  for (;;) {
    if (void* block = std::malloc(size == 0 ? 1 : size); block != nullptr) {
      liveAllocations.fetch_add(1, std::memory_order_relaxed);
      return block;
    }
    const std::new_handler handler = std::get_new_handler();
    if (handler == nullptr) {
      throw std::bad_alloc();
    }
    handler();
  }
}

void operator delete(void* block) noexcept {
  if (block != nullptr) {
    liveAllocations.fetch_sub(1, std::memory_order_relaxed);
    std::free(block);
  }
}

void operator delete(void* block, std::size_t /*size*/) noexcept { operator delete(block); }

#endif
