// Work shared between threads: every index exactly once, and an exception
// of a worker thrown again on the calling thread instead of ending the
// program.
#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <stdexcept>
#include <vector>

#include "numerics/Parallel.hpp"

namespace olm::test {
namespace {

TEST(ParallelForTest, RunsEveryIndexOnceWhateverTheThreads) {
  for (const unsigned threads : {0u, 1u, 2u, 4u, 64u})
    for (const size_t count : {size_t{0}, size_t{1}, size_t{3}, size_t{1000}}) {
      std::vector<std::atomic<int>> runs(count);
      ParallelFor(count, threads, [&](size_t i) { ++runs[i]; });
      for (size_t i = 0; i < count; ++i)
        ASSERT_EQ(runs[i].load(), 1) << threads << " threads, " << count << " items, index " << i;
    }
  EXPECT_GE(WorkerThreads(4), 1u);
  EXPECT_LE(WorkerThreads(4), 4u);
  EXPECT_EQ(WorkerThreads(0), 1u);
}

TEST(ParallelForTest, AnExceptionOfAWorkerReachesTheCaller) {
  std::atomic<int> done{0};
  EXPECT_THROW(ParallelFor(200, 4,
                           [&](size_t i) {
                             if (i == 17) throw std::bad_alloc();
                             ++done;
                           }),
               std::bad_alloc);
  EXPECT_LT(done.load(), 200);
  // Only the first of several is kept.
  EXPECT_THROW(ParallelFor(8, 8, [](size_t) { throw std::runtime_error("each"); }),
               std::runtime_error);
}

}  // namespace
}  // namespace olm::test
