#pragma once
// Peak resident memory of this process in MB (Linux), or -1 when unknown.
namespace olm {
double PeakMemoryMB();
}  // namespace olm
