// The widget tests need a QApplication; it runs on the "offscreen" platform
// so that no display is needed.  The platform is set before any test starts.
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

namespace {

struct COffscreenPlatform {
  COffscreenPlatform() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  }
} g_offscreen;

class CAppEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "test_app";
    static char* argv[] = {name, nullptr};
    m_app = std::make_unique<QApplication>(argc, argv);
    QApplication::setOrganizationName("OLM-tests");
    QApplication::setApplicationName("OLM-tests");
  }
  void TearDown() override { m_app.reset(); }

 private:
  std::unique_ptr<QApplication> m_app;
};

[[maybe_unused]] ::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new CAppEnvironment);

}  // namespace
