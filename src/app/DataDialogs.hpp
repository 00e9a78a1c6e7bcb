#pragma once
// Entry points of the data dialogs, which the main window's commands and the
// navigation tree open.  Each dialog hands the document its changes as
// undoable steps.  (First version: placeholders.)
class QWidget;

namespace olm {

class COLMDoc;

// "Read raw data".
void OpenReadRawDataDialog(QWidget* parent, COLMDoc& doc);
// "Process data": the "Data Set-Zone Data" dialog.
void OpenZoneDataDialog(QWidget* parent, COLMDoc& doc);
// "Edit or view data", on a replicate (1-based; 0 the first) and curve kind.
void OpenRawDataEditor(QWidget* parent, COLMDoc& doc, int replicate = 0, int kind = 0);

}  // namespace olm
