#include "ui/ColourButton.hpp"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

namespace olm::ui {

namespace {

QColor FromBgr(uint32_t bgr) {
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

uint32_t ToBgr(const QColor& c) {
  return static_cast<uint32_t>(c.red()) | static_cast<uint32_t>(c.green()) << 8 |
         static_cast<uint32_t>(c.blue()) << 16;
}

}  // namespace

CColourButton::CColourButton(QWidget* parent) : QPushButton(parent) {
  setIconSize(QSize(32, 14));
  connect(this, &QPushButton::clicked, this, &CColourButton::Pick);
  SetColour(0);
}

void CColourButton::SetColour(uint32_t bgr) {
  m_colour = bgr & 0xFFFFFFu;
  QPixmap swatch(iconSize());
  swatch.fill(FromBgr(m_colour));
  QPainter painter(&swatch);
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
  painter.end();
  setIcon(QIcon(swatch));
  setToolTip(FromBgr(m_colour).name());
}

void CColourButton::Pick() {
  const QColor chosen = QColorDialog::getColor(FromBgr(m_colour), this, accessibleName());
  if (!chosen.isValid()) return;
  SetColour(ToBgr(chosen));
  emit colourChanged(m_colour);
}

}  // namespace olm::ui
