// olm-desktop: the desktop program.
//   olm-desktop [PROJECT | DATAFILE ...]
// A project (.olm) opens; data files are imported as replicates with the
// default import settings.  --help and --version answer without a display.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "app/MainFrame.hpp"
#include "app/OLMView.hpp"
#include "app/PeakMemory.hpp"
#include "app/QtUserInterface.hpp"

namespace {

const char* const kUsage =
    "Usage: olm-desktop [PROJECT | DATAFILE ...]\n"
    "\n"
    "The OLM desktop program: reduces experimental test data.\n"
    "\n"
    "  PROJECT     an OLM project (.olm) to open\n"
    "  DATAFILE    delimited text files to import as replicates (default import\n"
    "              settings: 2 columns, x in column 1, y in column 2, 2 header lines)\n"
    "\n"
    "Options:\n"
    "  -h, --help     show this help and exit\n"
    "  -v, --version  show the version and exit\n"
    "\n"
    "Standard Qt options (-platform, -style, ...) are accepted as well.\n";

// Developer aids, set in the environment:
//   OLM_DESKTOP_TIMING=1|quit   prints the time from start to the first paint
//                               of the plot once the files have opened, and
//                               the peak memory; "quit" then ends the program.
//   OLM_DESKTOP_SCREENSHOTS=DIR writes PNG pictures of the main window, the
//                               project's report (when it exists) and the
//                               manual into DIR, then ends the program.
class CFirstPaint : public QObject {
 public:
  CFirstPaint(olm::CMainFrame& frame, const QElapsedTimer& clock)
      : m_frame(frame), m_clock(clock) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && m_armed && !m_done) {
      m_done = true;
      QTimer::singleShot(0, this, [this] { Report(); });
    }
    return QObject::eventFilter(watched, event);
  }
  void Arm() { m_armed = true; }

 private:
  void Report() {
    std::fprintf(stderr,
                 "olm-desktop: first paint after %lld ms, peak memory %.0f MB, %d replicates\n",
                 static_cast<long long>(m_clock.elapsed()), olm::PeakMemoryMB(),
                 m_frame.Document().Database().GetReplicateCount());
    const QString dir = qEnvironmentVariable("OLM_DESKTOP_SCREENSHOTS");
    if (!dir.isEmpty()) {
      QDir().mkpath(dir);
      m_frame.grab().save(QDir(dir).filePath("main-window.png"));
      const QString report = QString::fromStdString(m_frame.Document().ReportPath());
      if (!report.isEmpty() && QFileInfo::exists(report)) {
        QWidget* viewer = m_frame.ShowReportFile(report);
        viewer->resize(900, 620);
        QApplication::processEvents();
        viewer->grab().save(QDir(dir).filePath("report-viewer.png"));
      }
      QWidget* help = m_frame.ShowHelpWindow();
      QApplication::processEvents();
      help->grab().save(QDir(dir).filePath("manual.png"));
    }
    if (!dir.isEmpty() || qEnvironmentVariable("OLM_DESKTOP_TIMING") == "quit")
      QApplication::exit(0);
  }

  olm::CMainFrame& m_frame;
  const QElapsedTimer& m_clock;
  bool m_armed = false;
  bool m_done = false;
};

}  // namespace

int main(int argc, char** argv) {
  // Answered before the application object exists, so that no display is needed.
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (!std::strcmp(argv[i], "--version") || !std::strcmp(argv[i], "-v")) {
      std::printf("olm-desktop %s\n", OLM_VERSION);
      return 0;
    }
  }

  QElapsedTimer clock;
  clock.start();
  QApplication app(argc, argv);
  QApplication::setOrganizationName("OLM");
  QApplication::setApplicationName("OLM");
  QApplication::setApplicationVersion(OLM_VERSION);
  QApplication::setDesktopFileName("olm");
  QApplication::setWindowIcon(QIcon(":/icons/olm.svg"));

  QStringList files;
  const QStringList args = QApplication::arguments();
  for (int i = 1; i < args.size(); ++i) {
    if (args[i].startsWith('-') && args[i].size() > 1) {
      std::fprintf(stderr, "olm-desktop: unknown option %s (see --help)\n",
                   args[i].toLocal8Bit().constData());
      return 2;
    }
    files << args[i];
  }

  olm::CMainFrame frame;
  olm::CQtUserInterface ui([&frame]() -> QWidget* {
    QWidget* modal = QApplication::activeModalWidget();
    return modal ? modal : &frame;
  });
  olm::CScopedUserInterface scope(ui);
  frame.RestoreWindowSettings();
  CFirstPaint firstPaint(frame, clock);
  const bool measure = qEnvironmentVariableIsSet("OLM_DESKTOP_TIMING") ||
                       qEnvironmentVariableIsSet("OLM_DESKTOP_SCREENSHOTS");
  if (measure) frame.View()->installEventFilter(&firstPaint);
  frame.show();
  // The files open once the window has been painted, so that the progress of
  // a large project shows over it.
  QTimer::singleShot(0, &frame, [&frame, &firstPaint, files] {
    if (!files.isEmpty()) frame.OpenFiles(files);
    firstPaint.Arm();
    frame.View()->update();
  });
  return app.exec();
}
