// Writes pictures of the plot view on each axis kind, of the tree, plot and
// legend side by side, and of the two pages of the graph settings sheet,
// for the documentation.
//
//   view_screenshots <project.olm> <output folder>
#include <QApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QSplitter>
#include <QTabWidget>
#include <cstdio>

#include "app/GraphSettingsSheet.hpp"
#include "app/NavigationView.hpp"
#include "app/OLMView.hpp"
#include "app/OLMViewLegend.hpp"

namespace {

bool Save(QWidget& widget, const QString& path) {
  widget.show();
  widget.raise();
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
  widget.repaint();
  if (!widget.grab().save(path)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s\n", qPrintable(path));
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: view_screenshots <project.olm> <output folder>\n");
    return 2;
  }
  olm::CStderrUserInterface messages;
  olm::CScopedUserInterface scope(messages);
  olm::COLMDoc doc;
  if (!doc.Open(argv[1])) return 1;
  const QString out = QString::fromLocal8Bit(argv[2]);
  QDir().mkpath(out);
  bool ok = true;

  {
    // The three panes as the main window arranges them: 10 %, 70 %, 20 %.
    QSplitter panes;
    auto* tree = new olm::CNavigationView(doc, &panes);
    auto* view = new olm::COLMView(doc, &panes);
    auto* legend = new olm::COLMViewLegend(doc, &panes);
    panes.addWidget(tree);
    panes.addWidget(view);
    panes.addWidget(legend);
    panes.resize(1400, 700);
    panes.setSizes({210, 910, 280});
    // Replicate 2's smoothed curve switched off, to show an unchecked entry.
    doc.SetCurveShown(2, olm::kCurveSmoothed, false);
    ok = Save(panes, out + "/views-tree-plot-legend.png") && ok;
    doc.Undo();
  }

  static const char* const kNames[4] = {"linear", "log-x", "log-y", "log-log"};
  const olm::CPlotSettings full = doc.PlotSettings();
  for (int kind = 0; kind < olm::CGraph::kAxisKinds; ++kind) {
    olm::COLMView view(doc);
    view.resize(1000, 650);
    // Log axes need a window above zero: from a thousandth of the maximum.
    doc.ModifyView(olm::kChangeData, [&](olm::CReplicateDB& db, olm::CGEList&) {
      olm::CPlotSettings& s = db.plotSettings;
      s = full;
      if (kind == 1 || kind == 3) s.plotXMin = std::max(s.plotXMin, s.plotXMax / 1000);
      if (kind == 2 || kind == 3) s.plotYMin = std::max(s.plotYMin, s.plotYMax / 1000);
      return true;
    });
    view.SetAxisKind(kind);
    ok = Save(view, out + QStringLiteral("/view-%1.png").arg(kNames[kind])) && ok;
  }
  doc.ModifyView(olm::kChangeData, [&](olm::CReplicateDB& db, olm::CGEList&) {
    db.plotSettings = full;
    return true;
  });

  {
    olm::CGraphSettingsSheet sheet(doc);
    sheet.resize(720, 640);
    ok = Save(sheet, out + "/graph-settings-attributes.png") && ok;
    sheet.Tabs()->setCurrentIndex(olm::CGraphSettingsSheet::kLayoutPage);
    ok = Save(sheet, out + "/graph-settings-layout.png") && ok;
    sheet.reject();
  }
  return ok ? 0 : 1;
}
