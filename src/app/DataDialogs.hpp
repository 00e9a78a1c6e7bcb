#pragma once
// Entry points of the data dialogs, which the main window's commands and the
// navigation tree open.  Each dialog hands the document its changes as
// undoable steps; after each closes the document has recomputed the extents
// and plot limits and told the views.
class QWidget;

namespace olm {

class COLMDoc;

// "Read raw data": the "Read Raw Data" dialog.
void OpenReadRawDataDialog(QWidget* parent, COLMDoc& doc);
// "Process data": the "Data Set-Zone Data" dialog.
void OpenZoneDataDialog(QWidget* parent, COLMDoc& doc);
// "Edit or view data", on a replicate (1-based; 0 the first) and curve kind
// (0 raw, 1 smoothed, 2 fitted).
void OpenRawDataEditor(QWidget* parent, COLMDoc& doc, int replicate = 0, int kind = 0);

// While the zone dialog is open: the replicate whose zone borders the plot
// marks as vertical lines (1-based); 0 otherwise.  The dialog tells the
// document's observers (kChangeData) when it changes.
int ZoneMarkedReplicate();

}  // namespace olm
