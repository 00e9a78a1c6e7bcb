#pragma once
// IProgress: how long work reports how far it got and learns that the user
// cancelled it.  Safe to call from a worker thread.
#include <atomic>
#include <string>
#include <string_view>

namespace olm {

class IProgress {
 public:
  virtual ~IProgress() = default;
  // Fraction done in [0, 1] and a short text of the current step.
  virtual void Report(double fraction, std::string_view message) = 0;
  // True once the user asked to stop; the work then ends as soon as it can
  // and its result is discarded.
  virtual bool IsCancelled() const = 0;
};

// Progress that nobody watches (batch use).
class CNoProgress final : public IProgress {
 public:
  void Report(double, std::string_view) override {}
  bool IsCancelled() const override { return false; }
};

}  // namespace olm
