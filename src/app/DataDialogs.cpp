#include "app/DataDialogs.hpp"

#include "app/EditRawData.hpp"
#include "app/ReadRawDataDlg.hpp"
#include "app/RepZoneDataDlg.hpp"
#include "document/Document.hpp"
#include "numerics/UserInterface.hpp"

namespace olm {

void OpenReadRawDataDialog(QWidget* parent, COLMDoc& doc) {
  CReadRawDataDlg dialog(parent, doc);
  dialog.exec();
}

void OpenZoneDataDialog(QWidget* parent, COLMDoc& doc) {
  if (doc.IsEditing()) return;  // another in-place edit is open
  CRepZoneDataDlg dialog(parent, doc);
  dialog.exec();
}

void OpenRawDataEditor(QWidget* parent, COLMDoc& doc, int replicate, int kind) {
  if (doc.IsEditing()) return;
  CEditRawData dialog(parent, doc, replicate, kind);
  dialog.exec();
}

int ZoneMarkedReplicate() {
  return CRepZoneDataDlg::MarkedReplicate();
}

}  // namespace olm
