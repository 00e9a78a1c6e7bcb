#pragma once
// The graph settings sheet: "Graph Attributes" (titles, axis labels, their
// colours and fonts, the per-curve style table) and "Graph Layout" (number
// formats, plot and model limits, borders, divisions, marker size, label
// rotation, display switches), on a copy of the plot settings record.
//
// Leaving a page checks it; a failed check shows its message and keeps the
// page.  "Apply" previews the copy on the document; OK writes it back as one
// undo step; Cancel puts the document back as it was.
#include <QDialog>
#include <QFont>
#include <array>
#include <vector>

#include "document/Document.hpp"
#include "plot/PlotSettingsRules.hpp"

class QCheckBox;
class QDialogButtonBox;
class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;
class QTabWidget;
class QTableWidget;

namespace olm {

namespace ui {
class CColourButton;
class CLineStyleComboBox;
class CLineWeightComboBox;
class CMarkerComboBox;
class CPaletteComboBox;
}  // namespace ui

class CGraphSettingsSheet : public QDialog {
  Q_OBJECT

 public:
  enum Page { kAttributesPage = 0, kLayoutPage = 1 };

  CGraphSettingsSheet(COLMDoc& doc, QWidget* parent = nullptr);
  ~CGraphSettingsSheet() override;

  // The copy the pages edit (after ReadPage).
  const CPlotSettings& Edited() const { return m_rules.Edit(); }
  // Reads a page's fields into the copy; false with a message when a field
  // cannot be read (a number, a number format).
  bool ReadPage(int page);
  // Reads and checks a page as leaving it does.
  bool CheckPage(int page);
  // Both pages pass their checks; else the failing one is shown.
  bool CheckBothPages();
  // "Apply": checks both pages and previews the copy on the document.
  bool ApplyPreview();
  // OK: checks both pages (the failing one is shown) and writes the copy
  // back as one undo step.
  bool Commit();

  QTabWidget* Tabs() const { return m_tabs; }
  QDialogButtonBox* Buttons() const { return m_buttons; }
  // Fields for tests and automation (also reachable by accessible name).
  QLineEdit* TitleEdit() const { return m_title; }
  QLineEdit* LimitEdit(int i) const { return m_limits[static_cast<size_t>(i)]; }
  QLineEdit* FormatEdit(int axis) const { return axis == 0 ? m_xFormat : m_yFormat; }
  QTableWidget* StyleTable() const { return m_styles; }

  void done(int result) override;

 private:
  QWidget* CreateAttributesPage();
  QWidget* CreateLayoutPage();
  void LoadFields();
  void TabChanging(int index);

  struct CStyleRow {
    int replicate = 0, kind = 0;
    ui::CPaletteComboBox* colour = nullptr;
    ui::CMarkerComboBox* marker = nullptr;
    ui::CLineStyleComboBox* style = nullptr;
    ui::CLineWeightComboBox* width = nullptr;
    QCheckBox* shown = nullptr;
  };
  struct CLabelFields {
    QLineEdit* text = nullptr;
    ui::CColourButton* colour = nullptr;
  };

  COLMDoc& m_doc;
  CPlotSettingsRules m_rules;
  bool m_editing = false;  // the document edit of the preview is open
  int m_currentPage = kAttributesPage;
  bool m_switching = false;

  QTabWidget* m_tabs = nullptr;
  QDialogButtonBox* m_buttons = nullptr;
  QLineEdit* m_title = nullptr;
  std::array<CLabelFields, 4> m_labels;  // title, x, y left, y right
  std::array<CLogFont*, 3> m_fontTargets{};
  QTableWidget* m_styles = nullptr;
  std::vector<CStyleRow> m_styleRows;
  QLineEdit* m_xFormat = nullptr;
  QLineEdit* m_yFormat = nullptr;
  std::array<QLineEdit*, 8> m_limits{};  // plot x min, x max, y min, y max, then model
  std::array<QDoubleSpinBox*, 4> m_borders{};
  QSpinBox* m_xDivisions = nullptr;
  QSpinBox* m_yDivisions = nullptr;
  QSpinBox* m_markerSize = nullptr;
  QSpinBox* m_rotation = nullptr;
  std::array<QCheckBox*, 8> m_flags{};
};

// "Edit graph settings": the sheet on the document's plot settings; true
// when the user confirmed with OK.
bool EditGraphSettings(QWidget* parent, COLMDoc& doc);

}  // namespace olm
