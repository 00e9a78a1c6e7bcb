#pragma once
// Runs work(i) for i in [0, count) on the calling thread and up to
// threads - 1 more, each taking the next index in turn.  For work items that
// are independent and large enough to pay for starting a thread (tens of
// microseconds).
#include <algorithm>
#include <atomic>
#include <cstddef>
#include <exception>
#include <mutex>
#include <thread>
#include <type_traits>
#include <vector>

namespace olm {

// The number of threads worth starting on this machine, at most limit.
inline unsigned WorkerThreads(unsigned limit) {
  return std::clamp(std::thread::hardware_concurrency(), 1u, std::max(1u, limit));
}

template <class F>
void ParallelFor(size_t count, unsigned threads, F&& work) {
  threads = static_cast<unsigned>(std::min<size_t>(std::max(1u, threads), count));
  if (threads <= 1) {
    for (size_t i = 0; i < count; ++i) work(i);
    return;
  }
  std::atomic<size_t> next{0};
  // The first exception of any thread (an allocation failure, say) stops
  // the handing out of work and is thrown again on the calling thread once
  // all have finished: an exception leaving a std::thread would end the
  // program.
  std::mutex failureLock;
  std::exception_ptr failure;
  const auto run = [&] {
    try {
      for (size_t i = next++; i < count; i = next++) work(i);
    } catch (...) {
      next = count;
      const std::lock_guard<std::mutex> lock(failureLock);
      if (!failure) failure = std::current_exception();
    }
  };
  std::vector<std::thread> helpers;
  helpers.reserve(threads - 1);
  for (unsigned t = 1; t < threads; ++t) helpers.emplace_back(run);
  run();
  for (std::thread& t : helpers) t.join();
  if (failure) std::rethrow_exception(failure);
}

// Items below which a pass over a long array is not worth splitting: about
// a millisecond's work, against tens of microseconds to start a thread.
constexpr size_t kMinItemsPerThread = size_t(1) << 18;

// Splits [0, count) into consecutive parts, one per thread (as many as the
// machine has, at most 4, and only as many as have minPerPart items each),
// and runs part(k, first, last) on part k.
template <class F>
size_t ParallelRanges(size_t count, size_t minPerPart, F&& part) {
  const size_t parts =
      std::clamp<size_t>(count / std::max<size_t>(minPerPart, 1), 1, WorkerThreads(4));
  ParallelFor(parts, static_cast<unsigned>(parts),
              [&](size_t k) { part(k, count * k / parts, count * (k + 1) / parts); });
  return parts;
}

// The same, returning the parts' results in order, for a pass whose partial
// results combine (ranges, sums).
template <class R, class F>
std::vector<R> ParallelParts(size_t count, size_t minPerPart, F&& part) {
  // The parts store their results from their own threads: not into bits.
  static_assert(!std::is_same_v<R, bool>, "std::vector<bool> elements share bytes");
  std::vector<R> results(WorkerThreads(4));
  const size_t parts = ParallelRanges(count, minPerPart, [&](size_t k, size_t first, size_t last) {
    results[k] = part(first, last);
  });
  results.resize(parts);
  return results;
}

}  // namespace olm
