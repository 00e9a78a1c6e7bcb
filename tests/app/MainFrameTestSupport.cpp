#include "MainFrameTestSupport.hpp"

#include <QAbstractButton>
#include <QAction>
#include <QMessageBox>
#include <QSettings>
#include <fstream>
#include <memory>

#include "document/Document.hpp"

namespace olm::test {

namespace {

// Each test program keeps its settings (recent files, window placement) in
// a folder of its own, so that test programs running side by side do not
// see each other's lists and the user's settings are never touched.
class CPrivateSettings : public ::testing::Environment {
 public:
  void SetUp() override {
    m_dir = std::make_unique<CTempDir>();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(m_dir->Path()));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QString::fromStdString(m_dir->Path()));
  }
  void TearDown() override { m_dir.reset(); }

 private:
  std::unique_ptr<CTempDir> m_dir;
};

[[maybe_unused]] ::testing::Environment* const g_settings =
    ::testing::AddGlobalTestEnvironment(new CPrivateSettings);

}  // namespace

std::string WriteCurve(const CTempDir& dir, const std::string& name, int points, double slope) {
  std::string text = "x,y\nmm,N\n";
  text.reserve(static_cast<size_t>(points) * 24 + 16);
  for (int i = 0; i < points; ++i) {
    const double x = i * 0.01;
    text += Format("%.4f,%.6f\n", x, slope * x + 0.05 * ((i * 7919) % 13 - 6));
  }
  return dir.Write(name, text);
}

std::string WriteProject(const CTempDir& dir, const std::string& name, int replicates,
                         bool analysed) {
  COLMDoc doc;
  for (int r = 1; r <= replicates; ++r) {
    CReadRawDataForm form;
    form.path = WriteCurve(dir, Format("curve%d.csv", r), 200, 1.0 + r);
    form.dataId = Format("coupon%d", r);
    EXPECT_TRUE(doc.Import(form).ok);
  }
  EXPECT_TRUE(doc.ApplyZonesToAll({}).ok);
  if (analysed) {
    EXPECT_TRUE(doc.Analyse().ok);
  }
  const std::string path = dir.File(name);
  EXPECT_TRUE(doc.SaveAs(path).ok);
  return path;
}

void AnswerModal(std::function<void(QWidget*)> fn) {
  auto* timer = new QTimer(qApp);
  timer->setInterval(10);
  auto tries = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [timer, fn = std::move(fn), tries] {
    QWidget* modal = QApplication::activeModalWidget();
    const bool found = modal && modal->isVisible();
    if (found || ++*tries > 500) {
      timer->stop();
      timer->deleteLater();
    }
    if (found) fn(modal);
  });
  timer->start();
}

void AnswerMessageBox(int button) {
  AnswerModal([button](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    QAbstractButton* b = box->button(static_cast<QMessageBox::StandardButton>(button));
    ASSERT_NE(b, nullptr);
    b->click();
  });
}

void ClearRecentFiles() {
  QSettings settings;
  settings.remove("Recent File List");
}

QAction* ActionOf(CMainFrame& frame, const char* name) {
  QAction* action = frame.Action(QString::fromLatin1(name));
  EXPECT_NE(action, nullptr) << name;
  return action;
}

}  // namespace olm::test
