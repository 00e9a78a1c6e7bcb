#pragma once
// The distribution input file and the results report.
//
// Input file, one item a line:
//   *heading
//   <heading text>
//   *data
//   <one sample value a line>
//   *distribution
//   <keyword>[, option]        one line per requested distribution
//   *minmax
//   <lower>, <upper>           range of the evaluation grid
//   *end
// Fields are separated by commas and/or blanks; keywords are
// case-insensitive.  Options: "weibull2p" 1 = small-sample correction on,
// "weibull3p" 1 or 11 = correction set, "generalizedexponential" the upper
// bound of the rate (required); the Weibull options default to 0 when
// missing.  Any fault (a missing line or section, a value or option that is
// not a finite number, an unknown keyword) throws CDistributionError with
// the message "Error reading input file ..." and a detail naming the line.
//
// The writer lists all six distributions and writes numbers in their
// shortest form that reads back to the same double (434.7 stays "434.7"; no
// digits are lost).  Files are written to a temporary file and renamed into
// place.
#include <iosfwd>
#include <string>
#include <vector>

#include "distribution/DistributionAnalysis.hpp"

namespace olm {

inline constexpr const char* kInputReadError = "Error reading input file ...";

// Reads a whole input file.
CDistributionInput ReadDistributionInput(const std::string& path);
CDistributionInput ReadDistributionInput(std::istream& in);

// The sizing pass alone: number of sample values and of distributions.
struct CDistributionInputSize {
  int sampleSize = 0;
  int distributionCount = 0;
};
CDistributionInputSize SizeDistributionInput(const std::string& path);

// Options of the six distributions, as the writer lists them.
struct CDistributionOptions {
  int weibull2p = 0;
  int weibull3p = 0;
  double generalizedExponentialBound = 1.0;
};
// The options of the requests in an input (first request of each code).
CDistributionOptions OptionsOf(const CDistributionInput& input);

void WriteDistributionInput(std::ostream& out, const std::vector<double>& sample,
                            const CDistributionOptions& options, double lower, double upper);
// Returns false with *error set when the file cannot be written (also when
// it is not a regular file or is one of the inputs).
bool WriteDistributionInput(const std::string& path, const std::vector<double>& sample,
                            const CDistributionOptions& options, double lower, double upper,
                            std::string* error = nullptr,
                            const std::vector<std::string>& inputs = {});

// The results report of an analysis that has run.
void WriteDistributionReport(std::ostream& out, const CDistributionAnalysis& analysis);
bool WriteDistributionReport(const std::string& path, const CDistributionAnalysis& analysis,
                             std::string* error = nullptr,
                             const std::vector<std::string>& inputs = {});

// Shortest text of a double that reads back to the same value.
std::string ShortestNumber(double value);

}  // namespace olm
