#pragma once
// Engine error codes and their one reporting routine.
#include <string>

namespace olm {

// The engine's error codes (0..43); each has one fixed message.
enum EngineErrorCode {
  kErrInvalidDatabase = 0,  // fatal
  kErrNoRawData = 1,
  kErrNoZones = 2,
  kErrSameStartEnd = 3,
  kErrZoneGap = 4,
  kErrTooFewPointsForFit = 5,
  kErrFitSolver = 6,
  kErrPowerFitNotPositive = 7,
  kErrExpFitNotPositive = 8,
  kErrLogFitNotPositive = 9,
  kErrCannotOpenInput = 10,
  kErrCannotOpenOutput = 11,
  kErrTooFewPoints = 12,
  kErrInvalidInput = 13,
  kErrNeedsEnd = 14,
  kErrSmoothingFilterName = 15,
  kErrRegressionType = 16,
  kErrPolynomialDegree = 17,
  kErrSmoothingWindow = 18,
  kErrLoessWindow = 19,
  kErrPmaOrder = 20,
  kErrPmaWindow = 21,
  kErrWindowTooLarge = 22,
  kErrDataSetCount = 23,
  kErrInvalidDataSet = 24,
  kErrZoneCount = 25,
  kErrZoneStartEnd = 27,
  kErrOutlierMethod = 28,
  kErrInputFileName = 30,
  kErrRepeats = 31,
  kErrDeleteRow = 32,
  kErrInvalidAction = 33,
  kErrCellRange = 34,
  kErrGraphEquation = 35,
  kErrLaunch = 36,
  kErrZoneNoData = 37,
  kErrZoneNoSmoothed = 38,
  kErrZoneNoFitted = 39,
  kErrNoBestFitData = 40,
  kErrReformatPoints = 41,
  kErrReformatColumns = 42,
  kErrTitleTooLong = 43,
};

class CEngineError {
 public:
  // The fixed message of a code; "Unknown error." for 26, 29 and unlisted codes.
  static const char* Message(int code);

  // The text Report shows: the message, and with line > 0
  // "<message> on line number <line>.".
  static std::string Text(int code, int line = 0);

  // Shows the text as an error message.  Code 0 is fatal: after the message it
  // shows "Severe error. Terminating program." and ends the process with
  // status 1 (through the user interface's Terminate).
  static void Report(int code, int line = 0);

  // The last code reported on the calling thread (-1 when none since the
  // last Clear), so that a caller can tell which failure an operation had.
  static int LastCode();
  static void ClearLast();
};

}  // namespace olm
