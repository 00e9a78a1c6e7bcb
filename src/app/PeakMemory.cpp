#include "app/PeakMemory.hpp"

#include <QByteArray>
#include <QFile>

namespace olm {

double PeakMemoryMB() {
  QFile status("/proc/self/status");
  if (!status.open(QIODevice::ReadOnly)) return -1.0;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("VmHWM:"))
      return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
  return -1.0;
}

}  // namespace olm
