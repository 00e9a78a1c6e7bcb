#pragma once
// The attribute dialogs of the drawing objects: "Line and Arrow Data"
// (line colour, width, style and arrow mode), "Polygon Data" (line colour
// and width, fill colour, transparency) and "Edit Text" (the text, its font
// and colour).  Each edits a CDrawingAttributes record (and the text); the
// drawing controller applies the result to the selected objects.
#include <QDialog>
#include <string>

#include "app/DrawingTools.hpp"

class QCheckBox;
class QComboBox;
class QFontComboBox;
class QLineEdit;
class QSpinBox;

namespace olm {
namespace ui {
class CColourButton;
class CLineStyleComboBox;
class CLineWeightComboBox;
}  // namespace ui

class CLineAttributesDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CLineAttributesDlg(const CDrawingAttributes& values, QWidget* parent = nullptr);
  CDrawingAttributes Values() const;

  ui::CColourButton* colour = nullptr;
  ui::CLineWeightComboBox* width = nullptr;
  ui::CLineStyleComboBox* style = nullptr;
  QComboBox* arrow = nullptr;

 private:
  CDrawingAttributes m_values;
};

class CPolygonAttributesDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CPolygonAttributesDlg(const CDrawingAttributes& values, bool transparent,
                                 QWidget* parent = nullptr);
  CDrawingAttributes Values() const;
  bool Transparent() const;

  ui::CColourButton* lineColour = nullptr;
  ui::CLineWeightComboBox* width = nullptr;
  ui::CColourButton* fillColour = nullptr;
  QCheckBox* transparent = nullptr;

 private:
  CDrawingAttributes m_values;
};

class CTextDlg : public QDialog {
  Q_OBJECT
 public:
  CTextDlg(const CDrawingAttributes& values, const std::string& text, QWidget* parent = nullptr);
  CDrawingAttributes Values() const;
  std::string Text() const;

  QLineEdit* text = nullptr;
  QFontComboBox* face = nullptr;
  QSpinBox* size = nullptr;
  QCheckBox* bold = nullptr;
  QCheckBox* italic = nullptr;
  ui::CColourButton* colour = nullptr;

 private:
  CDrawingAttributes m_values;
};

}  // namespace olm
