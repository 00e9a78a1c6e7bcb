#include "editing/ReadRawDataForm.hpp"

#include "numerics/UserInterface.hpp"

namespace olm {

std::vector<std::pair<int, std::string>> CReadRawDataForm::Browse(const std::string& file) {
  path = file;
  std::vector<std::pair<int, std::string>> rows;
  int n = 0;
  for (std::string& line : PreviewLines(file, 10)) rows.emplace_back(++n, std::move(line));
  return rows;
}

CDelimiterSet CReadRawDataForm::Delimiters() const {
  CDelimiterSet d;
  d.blank = blank;
  d.comma = comma;
  d.tab = tab;
  d.other = other.empty() ? '\0' : other[0];
  return d;
}

std::string CReadRawDataForm::DataIdOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos) name.resize(dot);
  if (name.size() > static_cast<size_t>(kMaxDataIdLength)) {
    size_t n = kMaxDataIdLength;
    while (n > 0 && (static_cast<unsigned char>(name[n]) & 0xC0) == 0x80) --n;  // UTF-8 continuation
    name.resize(n);
  }
  return name;
}

bool CReadRawDataForm::Apply(CReplicateDB& db) {
  if (columns <= 0 || columns > kMaxColumns) {
    ShowMessage("Invalid number of columns");
    return false;
  }
  if (xColumn < 1 || xColumn > columns) {
    ShowMessage("Invalid X-data column number");
    return false;
  }
  if (yColumn < 1 || yColumn > columns) {
    ShowMessage("Invalid Y-data column number");
    return false;
  }
  if (headerLines < 2) {
    ShowMessage("Need a minimum of two header lines");
    return false;
  }
  CRawDataRequest request;
  request.path = path;
  request.delimiters = Delimiters();
  request.xColumn = xColumn;
  request.yColumn = yColumn;
  request.columns = columns;
  request.headerLines = headerLines;
  request.title = dataId.substr(0, kMaxDataIdLength);
  request.updateExtents = false;  // gathered below with the raw curve shown
  request.decimalComma = decimalComma;
  if (!ReadRawData(db, request)) return false;

  const int r = db.GetReplicateCount();
  // A new replicate starts with its raw curve shown.
  db.plotSettings.SetShown(r, kCurveRaw, true);
  db.ComputeExtents(true);
  db.RefreshPlotLimits(false);
  ShowMessage(Format("Successfully created replicate %d", r));
  return true;
}

}  // namespace olm
