// The plot tests that draw with Qt need a QGuiApplication; it runs on the
// "offscreen" platform so that no display is needed.  The platform is set
// before any test starts, since the test runner's environment settings do
// not reach every way the tests are started.
#include <gtest/gtest.h>

#include <memory>

#include "plot/PlotPainter.hpp"

namespace {

struct COffscreenPlatform {
  COffscreenPlatform() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  }
} g_offscreen;

class CQtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { m_scope = std::make_unique<olm::CGuiApplicationScope>(); }
  void TearDown() override { m_scope.reset(); }

 private:
  std::unique_ptr<olm::CGuiApplicationScope> m_scope;
};

[[maybe_unused]] ::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new CQtEnvironment);

}  // namespace
