// libFuzzer target of the raw-data reader: any bytes as a delimited text file.
//
// The first byte chooses the layout (column count, x and y columns, header
// lines, delimiters); the rest is the file.  Every input must be read or
// refused with a message; a read replicate must hold as many rows as it
// says, and the extents must stay finite.
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "FuzzUi.hpp"
#include "editing/RawDataReader.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  olm::fuzz::InstallFuzzUi();
  static const std::string path = "/tmp/olm-fuzz-rawdata-" + std::to_string(::getpid()) + ".csv";
  if (size < 1) return 0;
  const uint8_t layout = data[0];
  if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
    if (size > 1) std::fwrite(data + 1, 1, size - 1, f);
    std::fclose(f);
  } else {
    return 0;
  }
  olm::CRawDataRequest request;
  request.path = path;
  request.columns = 2 + (layout & 3);
  request.xColumn = 1 + ((layout >> 2) & 1);
  request.yColumn = request.columns;
  request.headerLines = (layout >> 3) & 3;
  const char others[] = {'\0', ';', '|', '"'};
  request.delimiters = {(layout & 0x20) != 0, true, (layout & 0x40) != 0, others[layout >> 6 & 1]};
  request.title = "fuzz";

  olm::CReplicateDB db;
  if (olm::ReadRawData(db, request)) {
    if (db.GetReplicateCount() != 1) std::abort();
    const olm::CReplicate& rep = db.Replicate(1);
    if (rep.pointCount != rep.raw.GetRows() || rep.raw.GetColumns() != request.columns)
      std::abort();
    for (int k : {olm::kRawMin, olm::kRawMax})
      for (int e = 1; e <= 2; ++e)
        if (!std::isfinite(db.GetExtent(k, e))) std::abort();
  } else if (db.GetReplicateCount() != 0) {
    std::abort();
  }
  return 0;
}
