// The desktop program's main window: opening the sample project and a
// project of 20 replicates of 10^6 points (raw data of three columns, about
// 480 MB on disk) through File > Open's path (worker thread, progress
// dialog), up to the plot painted.  Runs on Qt's offscreen platform.  The
// peak resident memory of the process is reported as a counter.  Files go
// to $OLM_BENCH_DIR, or the system temporary folder, and are removed at the
// end unless $OLM_BENCH_KEEP is set.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QString>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "BenchReplicates.hpp"
#include "app/MainFrame.hpp"
#include "app/OLMView.hpp"
#include "app/PeakMemory.hpp"
#include "plot/Project.hpp"

namespace {

namespace fs = std::filesystem;

constexpr int kReplicates = 20;
constexpr int kPoints = 1000000;

const fs::path& Folder() {
  static const fs::path folder = [] {
    const char* env = std::getenv("OLM_BENCH_DIR");
    fs::path f = fs::path(env ? env : fs::temp_directory_path().string()) /
                 ("olm-bench-desktop-" + std::to_string(::getpid()));
    fs::create_directories(f);
    return f;
  }();
  return folder;
}

std::string LargeProject() {
  const std::string path = (Folder() / "large.olm").string();
  if (fs::exists(path)) return path;
  olm::CProject project;
  olm::CReplicateDB& db = project.Database();
  for (int r = 1; r <= kReplicates; ++r) {
    olm::CReplicate& rep =
        olm::bench::AddSizedReplicate(db, "Replicate " + std::to_string(r), 3, 2, 3, kPoints);
    for (int i = 1; i <= kPoints; ++i) {
      double* row = rep.raw.Row(i);
      const double x = 1e-6 * i;
      row[0] = i;
      row[1] = x;
      row[2] = r * std::sin(x * 40.0);
    }
  }
  db.ComputeExtents(true);
  project.Save(path);
  return path;
}

std::string SampleProject() {
  const std::string path = (Folder() / "sample.olm").string();
  if (fs::exists(path)) return path;
  olm::COLMDoc doc;
  const std::pair<const char*, int> samples[] = {
      {"tensile_1.csv", 2}, {"tensile_2.dat", 2}, {"tensile_3.txt", 3}};
  for (const auto& [file, headers] : samples) {
    olm::CReadRawDataForm form;
    form.path = std::string(OLM_SAMPLES_DIR) + "/" + file;
    form.columns = 3;
    form.xColumn = 2;
    form.yColumn = 3;
    form.headerLines = headers;
    form.dataId = std::string(file).substr(0, 9);
    if (!doc.Import(form)) return {};
  }
  doc.ApplyZonesToAll({});
  doc.Analyse();
  if (!doc.SaveAs(path)) return {};
  return path;
}

// A new main window shown, the project opened, the plot painted.
void OpenAndPaint(benchmark::State& state, const std::string& path) {
  for (auto _ : state) {
    olm::CMainFrame frame;
    frame.show();
    if (!frame.OpenProject(QString::fromStdString(path))) state.SkipWithError("open failed");
    frame.View()->repaint();
    QApplication::processEvents();
  }
  state.counters["peak_MB"] = olm::PeakMemoryMB();
}

void BM_WindowWithSampleProject(benchmark::State& state) {
  const std::string path = SampleProject();
  if (path.empty()) {
    state.SkipWithError("the samples did not import");
    return;
  }
  OpenAndPaint(state, path);
}
BENCHMARK(BM_WindowWithSampleProject)->Unit(benchmark::kMillisecond);

void BM_WindowWith20x1e6Points(benchmark::State& state) {
  const std::string path = LargeProject();
  state.counters["file_MB"] = static_cast<double>(fs::file_size(path)) / 1e6;
  OpenAndPaint(state, path);
}
BENCHMARK(BM_WindowWith20x1e6Points)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setOrganizationName("OLM-bench");
  // The recent-file list of the windows goes to the bench folder.
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                     QString::fromStdString(Folder().string()));
  // The import's notices are not wanted among the timings.
  olm::CMessageCollector quiet;
  olm::CScopedUserInterface scope(quiet);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  // OLM_BENCH_KEEP keeps the generated projects (to open them in olm-desktop).
  std::error_code ec;
  if (!std::getenv("OLM_BENCH_KEEP")) fs::remove_all(Folder(), ec);
  return 0;
}
