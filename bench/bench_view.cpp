// The plot view's interaction speed through the real widget: 10 replicates
// of 10^6 raw points in a 1600 x 1000 COLMView, repainted (paintEvent into
// the offscreen backing store) after each zoom step, pan step or curve-drag
// step, on linear and log-log axes.  A zoom or pan changes the plot limits
// through the document and the view renders its buffer again; a drag step
// shifts one replicate's 10^6 points, recomputes the extents and renders.
//
//   QT_QPA_PLATFORM=offscreen build/default/bench/bench_view
#include <benchmark/benchmark.h>

#include "BenchReplicates.hpp"

#include <QApplication>
#include <QMouseEvent>
#include <QWindow>
#include <cmath>
#include <cstdint>
#include <memory>

#include "app/OLMView.hpp"
#include "plot/PlotCurves.hpp"

namespace {

constexpr int kCurves = 10;
constexpr int kPoints = 1000000;
constexpr int kWidth = 1600, kHeight = 1000;

// Tensile-like curves with noise, above zero for the log axes.
olm::COLMDoc& Document() {
  static std::unique_ptr<olm::COLMDoc> doc = [] {
    auto d = std::make_unique<olm::COLMDoc>();
    d->Modify("bench data", olm::kChangeData, [](olm::CReplicateDB& db, olm::CGEList&) {
      olm::bench::AddTensileCurves(db, kCurves, kPoints);
      db.ComputeExtents(true);
      db.RefreshPlotLimits(true);
      return true;
    });
    d->ClearUndo();
    return d;
  }();
  return *doc;
}

std::unique_ptr<olm::COLMView> MakeView(int axisKind) {
  auto view = std::make_unique<olm::COLMView>(Document());
  view->resize(kWidth, kHeight);
  view->show();
  // Painting starts once the platform has exposed the window.
  for (int i = 0; i < 100 && !(view->windowHandle() && view->windowHandle()->isExposed()); ++i)
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  view->SetAxisKind(axisKind);
  view->repaint();
  return view;
}

void ZoomRepaint(benchmark::State& state, int axisKind) {
  auto view = MakeView(axisKind);
  const QPoint centre(kWidth / 2, kHeight / 2);
  bool in = true;
  for (auto _ : state) {
    // Alternately in and out, so the window stays about the same.
    view->ZoomAbout(centre, in ? 1.25 : 0.8);
    in = !in;
    view->repaint();
  }
  view->ZoomOut();
}

void PanRepaint(benchmark::State& state, int axisKind) {
  auto view = MakeView(axisKind);
  view->ZoomAbout(QPoint(kWidth / 2, kHeight / 2), 1.5);
  view->repaint();
  int step = 7;
  for (auto _ : state) {
    view->PanBy(QPoint(step, step / 2));
    step = -step;
    view->repaint();
  }
  view->ZoomOut();
}

void DragRepaint(benchmark::State& state, int axisKind) {
  auto view = MakeView(axisKind);
  view->Action(olm::ViewCommand::MoveCurve)->trigger();
  const olm::CCurveView c = olm::CurvePoints(Document().Database(), 5, olm::kCurveRaw);
  const size_t row = c.count / 3;
  const olm::CDevicePoint d =
      view->State().Graph().WorldToDevice(c.x[row * c.stride], c.y[row * c.stride]);
  QPoint p(d.x, d.y);
  const auto send = [&](QEvent::Type type, QPoint at) {
    QMouseEvent event(type, QPointF(at), view->mapToGlobal(QPointF(at)), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(view.get(), &event);
  };
  send(QEvent::MouseButtonPress, p);
  if (!Document().IsEditing()) {
    state.SkipWithError("no curve under the drag point");
    return;
  }
  int step = 3;
  for (auto _ : state) {
    p += QPoint(step, -step);
    step = -step;
    send(QEvent::MouseMove, p);
    view->repaint();
  }
  send(QEvent::MouseButtonRelease, p);
  Document().Undo();
  view->Action(olm::ViewCommand::MoveCurve)->trigger();
}

void BM_ViewZoomRepaintLinear(benchmark::State& state) {
  ZoomRepaint(state, olm::CGraph::kLinear);
}
void BM_ViewZoomRepaintLogLog(benchmark::State& state) {
  ZoomRepaint(state, olm::CGraph::kXLogYLog);
}
void BM_ViewPanRepaintLinear(benchmark::State& state) {
  PanRepaint(state, olm::CGraph::kLinear);
}
void BM_ViewPanRepaintLogLog(benchmark::State& state) {
  PanRepaint(state, olm::CGraph::kXLogYLog);
}
void BM_ViewDragRepaintLinear(benchmark::State& state) {
  DragRepaint(state, olm::CGraph::kLinear);
}
void BM_ViewDragRepaintLogLog(benchmark::State& state) {
  DragRepaint(state, olm::CGraph::kXLogYLog);
}

BENCHMARK(BM_ViewZoomRepaintLinear)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ViewZoomRepaintLogLog)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ViewPanRepaintLinear)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ViewPanRepaintLogLog)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ViewDragRepaintLinear)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ViewDragRepaintLogLog)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
