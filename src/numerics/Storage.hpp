#pragma once
// Owned element blocks for the 1-based containers.
//
// Test curves reach 10^7 points, and on the machines we run on the first touch
// of fresh memory costs about 10 us per 4 KiB page; blocks of plain numbers
// above a few megabytes are therefore aligned to 2 MiB and marked for
// transparent huge pages, which makes filling them 20-30 times cheaper.
#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>

#ifdef OLM_CHECKED_ACCESS
#include <cstdio>
#include <cstdlib>
#define OLM_CHECK(cond, what)                                                           \
  do {                                                                                  \
    if (!(cond)) {                                                                      \
      std::fprintf(stderr, "%s:%d: checked access failed: %s\n", __FILE__, __LINE__, what); \
      std::abort();                                                                     \
    }                                                                                   \
  } while (0)
#else
#define OLM_CHECK(cond, what) ((void)0)
#endif

namespace olm::detail {

// Allocates raw bytes; large blocks get huge-page advice.  Throws std::bad_alloc.
void* AllocateBytes(std::size_t bytes);
void FreeBytes(void* p) noexcept;

template <class T>
struct BlockDeleter {
  std::size_t count = 0;
  void operator()(T* p) const noexcept {
    if constexpr (std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>) {
      FreeBytes(p);
    } else {
      delete[] p;
    }
  }
};

template <class T>
using Block = std::unique_ptr<T[], BlockDeleter<T>>;

// n elements; plain numbers are left uninitialised, other types
// default-constructed.  Throws std::bad_alloc.
template <class T>
Block<T> AllocateBlock(std::size_t n) {
  if constexpr (std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>) {
    if (n > (std::size_t(-1) / 2) / sizeof(T)) throw std::bad_alloc();
    return Block<T>(static_cast<T*>(AllocateBytes(n * sizeof(T))), BlockDeleter<T>{n});
  } else {
    return Block<T>(new T[n], BlockDeleter<T>{n});
  }
}

}  // namespace olm::detail
