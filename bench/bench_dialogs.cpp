// The data dialogs on large data: opening the raw-data editor on a replicate
// of a million rows, and importing a million-row file through the "Read Raw
// Data" dialog (read on a worker thread).  Runs on Qt's offscreen platform.
//
// With --screenshots DIR PROJECT it instead saves pictures of the three
// dialogs on a project (scripts/screenshots-data.sh).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "BenchReplicates.hpp"
#include "BenchData.hpp"
#include "app/EditRawData.hpp"
#include "app/ReadRawDataDlg.hpp"
#include "app/RepZoneDataDlg.hpp"
#include "document/Document.hpp"
#include "numerics/UserInterface.hpp"
#include "ui/CommandBox.hpp"

namespace {

using namespace olm;

class CQuietUi : public IUserInterface {
 public:
  void Show(MessageKind, std::string_view) override {}
  bool Ask(std::string_view, QuestionKind, std::string_view, bool*) override { return true; }
  void Fatal(std::string_view text) override {
    std::fprintf(stderr, "%.*s\n", int(text.size()), text.data());
  }
  void Terminate(int status) override { std::exit(status); }
};

void AddRows(COLMDoc& doc, int n) {
  doc.Modify("rows", kChangeData, [n](CReplicateDB& db, CGEList&) {
    CReplicate& rep = bench::AddSizedReplicate(db, "million", 3, 2, 3, n);
    for (int i = 1; i <= n; ++i) {
      rep.raw(i, 1) = i * 1e-3;
      rep.raw(i, 2) = i * 1e-6;
      rep.raw(i, 3) = 300.0 + (i % 100);
    }
    return true;
  });
}

void BM_OpenEditorOnAMillionRows(benchmark::State& state) {
  CQuietUi ui;
  CScopedUserInterface scope(ui);
  COLMDoc doc;
  AddRows(doc, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    CEditRawData dlg(nullptr, doc, 1, kCurveRaw);
    dlg.show();
    QApplication::processEvents();  // lays out and paints the first page
    benchmark::DoNotOptimize(dlg.grid->model()->rowCount());
  }
}
BENCHMARK(BM_OpenEditorOnAMillionRows)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ImportAMillionRowFileThroughTheDialog(benchmark::State& state) {
  CQuietUi ui;
  CScopedUserInterface scope(ui);
  const std::string path = olm::bench::CurveFile(state.range(0));
  COLMDoc doc;
  CReadRawDataDlg dlg(nullptr, doc);
  for (auto _ : state) {
    doc.New();
    dlg.SetFiles({QString::fromStdString(path)}, false);
    dlg.columns->setValue(3);
    dlg.xColumn->setValue(2);
    dlg.yColumn->setValue(3);
    if (dlg.Apply() != 1) state.SkipWithError("import failed");
  }
}
BENCHMARK(BM_ImportAMillionRowFileThroughTheDialog)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// ---- screenshots

void Save(QWidget& w, const QString& path) {
  w.show();
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
  if (!w.grab().save(path))
    std::fprintf(stderr, "could not write %s\n", qPrintable(path));
  else
    std::printf("wrote %s\n", qPrintable(path));
}

int Screenshots(const QString& dir, const std::string& project, const std::string& samples) {
  CQuietUi ui;
  CScopedUserInterface scope(ui);
  QDir().mkpath(dir);
  COLMDoc doc;
  if (!doc.Open(project)) {
    std::fprintf(stderr, "cannot open %s\n", project.c_str());
    return 1;
  }
  {
    CReadRawDataDlg dlg(nullptr, doc);
    dlg.resize(1000, 640);
    dlg.SetFiles({QString::fromStdString(samples + "/tensile_3.txt")});
    dlg.xColumn->setValue(2);
    dlg.yColumn->setValue(3);
    Save(dlg, dir + "/read-raw-data.png");
  }
  {
    CRepZoneDataDlg dlg(nullptr, doc);
    dlg.resize(1100, 520);
    dlg.zone->setCurrentIndex(1);
    dlg.zone->activated(1);
    Save(dlg, dir + "/zone-data.png");
  }
  {
    CEditRawData dlg(nullptr, doc, 1, kCurveRaw);
    dlg.resize(1000, 700);
    dlg.command->setText("ds1_c4_raw = ds1_c3_raw / 1000");
    dlg.grid->selectRow(2);
    Save(dlg, dir + "/edit-raw-data.png");
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setOrganizationName("OLM-bench");
  QApplication::setApplicationName("OLM-bench");
  if (argc >= 4 && std::strcmp(argv[1], "--screenshots") == 0)
    return Screenshots(QString::fromLocal8Bit(argv[2]), argv[3], argc >= 5 ? argv[4] : "samples");
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
