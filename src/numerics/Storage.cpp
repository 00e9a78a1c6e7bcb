#include "numerics/Storage.hpp"

#include <sys/mman.h>

#include <cstdlib>

namespace olm::detail {

namespace {
constexpr std::size_t kHugePage = std::size_t(2) << 20;
constexpr std::size_t kHugeThreshold = std::size_t(4) << 20;
}  // namespace

void* AllocateBytes(std::size_t bytes) {
  if (bytes == 0) bytes = 1;
  void* p = nullptr;
  if (bytes >= kHugeThreshold) {
    const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    p = std::aligned_alloc(kHugePage, rounded);
    if (p) ::madvise(p, rounded, MADV_HUGEPAGE);
  } else {
    p = std::malloc(bytes);
  }
  if (!p) throw std::bad_alloc();
  return p;
}

void FreeBytes(void* p) noexcept { std::free(p); }

}  // namespace olm::detail
