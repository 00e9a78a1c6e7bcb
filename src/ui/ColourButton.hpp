#pragma once
// A button that shows a colour and lets the user pick another with the
// colour dialog.  Colours are 0x00BBGGRR values, as the plot settings keep
// them.
#include <QPushButton>
#include <cstdint>

namespace olm::ui {

class CColourButton : public QPushButton {
  Q_OBJECT

 public:
  explicit CColourButton(QWidget* parent = nullptr);
  uint32_t Colour() const { return m_colour; }
  void SetColour(uint32_t bgr);

 signals:
  void colourChanged(uint32_t bgr);

 private:
  void Pick();
  uint32_t m_colour = 0;
};

}  // namespace olm::ui
