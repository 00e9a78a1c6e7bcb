#pragma once
// Combo boxes that draw their entries: line styles, line weights, plot
// markers and palette colours, each choosing an index as the plot settings
// store it.  The entries are drawn with the plot's own canvas, so they look
// as the curves do.
#include <QComboBox>
#include <array>
#include <cstdint>

namespace olm::ui {

// A combo box of drawn entries; the chosen value is the entry's index.
class CDrawnComboBox : public QComboBox {
  Q_OBJECT

 public:
  explicit CDrawnComboBox(QWidget* parent = nullptr);
  int Value() const { return currentIndex(); }
  // Chooses an entry; a value outside the entries chooses none.
  void SetValue(int value);

 protected:
  // Adds the entries with their pictures, named for screen readers.
  void AddEntry(const QString& name, const QPixmap& picture);
};

// "Solid", "Dash", "Dot", "Dash-Dot", "Dash-Dot-Dot": the pen-style table.
class CLineStyleComboBox : public CDrawnComboBox {
  Q_OBJECT
 public:
  explicit CLineStyleComboBox(QWidget* parent = nullptr);
};

// Line widths 1 to kMaxWidth pixels; the value is the width.
class CLineWeightComboBox : public CDrawnComboBox {
  Q_OBJECT
 public:
  static constexpr int kMaxWidth = 10;
  explicit CLineWeightComboBox(QWidget* parent = nullptr);
  int Width() const { return currentIndex() + 1; }
  void SetWidth(int width) { SetValue(width - 1); }
};

// Marker kinds 0 ("None") to 10, drawn as the plot draws them.
class CMarkerComboBox : public CDrawnComboBox {
  Q_OBJECT
 public:
  static constexpr int kKinds = 11;
  explicit CMarkerComboBox(QWidget* parent = nullptr);
};

// The 16 palette colours (0x00BBGGRR) as swatches; the value is the index.
class CPaletteComboBox : public CDrawnComboBox {
  Q_OBJECT
 public:
  explicit CPaletteComboBox(const std::array<uint32_t, 16>& palette, QWidget* parent = nullptr);
};

}  // namespace olm::ui
