#include "ui/StyleComboBoxes.hpp"

#include <QPainter>
#include <QPixmap>

#include "plot/Graph.hpp"
#include "plot/PlotPainter.hpp"

namespace olm::ui {

namespace {

constexpr int kPictureWidth = 64, kPictureHeight = 16;

QPixmap Blank() {
  QPixmap picture(kPictureWidth, kPictureHeight);
  picture.fill(Qt::transparent);
  return picture;
}

QPixmap LinePicture(int style, int width) {
  QPixmap picture = Blank();
  QPainter painter(&picture);
  CQtPlotCanvas canvas(painter);
  CPenSpec pen;
  pen.style = style;
  pen.width = width;
  pen.colour = 0x000000;
  canvas.SetPen(pen);
  canvas.Line(4, kPictureHeight / 2, kPictureWidth - 4, kPictureHeight / 2);
  return picture;
}

}  // namespace

CDrawnComboBox::CDrawnComboBox(QWidget* parent) : QComboBox(parent) {
  setIconSize(QSize(kPictureWidth, kPictureHeight));
}

void CDrawnComboBox::SetValue(int value) {
  setCurrentIndex(value >= 0 && value < count() ? value : -1);
}

void CDrawnComboBox::AddEntry(const QString& name, const QPixmap& picture) {
  addItem(QIcon(picture), QString());
  setItemData(count() - 1, name, Qt::ToolTipRole);
  setItemData(count() - 1, name, Qt::AccessibleTextRole);
}

CLineStyleComboBox::CLineStyleComboBox(QWidget* parent) : CDrawnComboBox(parent) {
  static const char* const kNames[] = {"Solid", "Dash", "Dot", "Dash-Dot", "Dash-Dot-Dot"};
  for (int style = kPenSolid; style <= kPenDashDotDot; ++style)
    AddEntry(tr(kNames[style]), LinePicture(style, 1));
  setAccessibleName(tr("Line style"));
}

CLineWeightComboBox::CLineWeightComboBox(QWidget* parent) : CDrawnComboBox(parent) {
  for (int width = 1; width <= kMaxWidth; ++width) {
    addItem(QIcon(LinePicture(kPenSolid, width)), QString::number(width));
    setItemData(count() - 1, tr("%1 pixels").arg(width), Qt::AccessibleTextRole);
  }
  setAccessibleName(tr("Line width"));
}

CMarkerComboBox::CMarkerComboBox(QWidget* parent) : CDrawnComboBox(parent) {
  for (int kind = 0; kind < kKinds; ++kind) {
    QPixmap picture = Blank();
    if (kind > 0) {
      QPainter painter(&picture);
      CQtPlotCanvas canvas(painter);
      DrawMarker(canvas, {kPictureWidth / 2, kPictureHeight / 2}, kind, 5, 0x000000);
    }
    AddEntry(kind == 0 ? tr("None") : tr("Marker %1").arg(kind), picture);
  }
  setItemText(0, tr("None"));
  setAccessibleName(tr("Marker"));
}

CPaletteComboBox::CPaletteComboBox(const std::array<uint32_t, 16>& palette, QWidget* parent)
    : CDrawnComboBox(parent) {
  for (size_t i = 0; i < palette.size(); ++i) {
    QPixmap picture = Blank();
    QPainter painter(&picture);
    painter.setPen(Qt::black);
    painter.setBrush(CQtPlotCanvas::Colour(palette[i]));
    painter.drawRect(QRect(2, 2, kPictureWidth - 5, kPictureHeight - 5));
    painter.end();
    AddEntry(tr("Colour %1").arg(i), picture);
  }
  setAccessibleName(tr("Colour"));
}

}  // namespace olm::ui
