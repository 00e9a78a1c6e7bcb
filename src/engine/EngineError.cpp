#include "engine/EngineError.hpp"

#include "numerics/UserInterface.hpp"

namespace olm {

const char* CEngineError::Message(int code) {
  switch (code) {
    case 0:
      return "Invalid database.";
    case 1:
      return "No raw data defined.";
    case 2:
      return "No zones defined.";
    case 3:
      return "Zone has same start and end point.";
    case 4:
      return "Gap between zones.";
    case 5:
      return "Number of points after removing outliers are not enough for fit.";
    case 6:
      return "Cannot fit data. Error in equation solver.";
    case 7:
      return "All x and y values must be positive for power fit.";
    case 8:
      return "Y values must be positive for exponential fit.";
    case 9:
      return "All x values must be positive for logarithmic fit.";
    case 10:
      return "Cannot open input file.";
    case 11:
      return "Cannot open output file.";
    case 12:
      return "Number of points must be > 1.";
    case 13:
      return "Invalid input.";
    case 14:
      return "Input file needs *end as last line.";
    case 15:
      return "Smoothing filters must be simple_moving_average, polynomial_moving_average, or "
             "moving_median.";
    case 16:
      return "The type of regression curve must be polynomial, exponential, or logarithmic.";
    case 17:
      return "Degree of polynomial must be between 1 and 5.";
    case 18:
      return "Number of points for smoothing must be odd and between 3 and 25.";
    case 19:
      return "Number of points for Lowess/Loess smoothing must be odd and between 5 and 25.";
    case 20:
      return "Degree of polynomial for polynomial smoothing average must be 3 or 5.";
    case 21:
      return "Number of points for smoothing must be odd and between 5 and 25 \nfor 3rd degree "
             "polynomial and between 7 and 25 for 5th order polynomial.";
    case 22:
      return "Number of points for smoothing must be less than the number of data points.";
    case 23:
      return "Number of data sets must be between 1 and 20";
    case 24:
      return "Invalid data set number";
    case 25:
      return "Number of zones must be between 1 and 5.";
    case 27:
      return "Start value of x for zone must be less than end value of x";
    case 28:
      return "Invalid method for removing outliers.";
    case 30:
      return "Invalid input file name.";
    case 31:
      return "Invalid number of repeats.";
    case 32:
      return "Unable to delete row.";
    case 33:
      return "Invalid action";
    case 34:
      return "Invalid cell range";
    case 35:
      return "Invalid graph equation.";
    case 36:
      return "Cannot launch program.";
    case 37:
      return "Zone contains no data points";
    case 38:
      return "Zone contains no smoothened points";
    case 39:
      return "Zone contains no fitted points";
    case 40:
      return "No data available for best fit.";
    case 41:
      return "Number of reformatted points must be greater than 0";
    case 42:
      return "Number of data columns must be greater than 0 for reformatting";
    case 43:
      return "Text in one replicate title exceeds character limit";
    default:
      return "Unknown error.";
  }
}

std::string CEngineError::Text(int code, int line) {
  if (line > 0) return Format("%s on line number %d.", Message(code), line);
  return Message(code);
}

namespace {
thread_local int t_lastCode = -1;
}  // namespace

int CEngineError::LastCode() {
  return t_lastCode;
}
void CEngineError::ClearLast() {
  t_lastCode = -1;
}

void CEngineError::Report(int code, int line) {
  t_lastCode = code;
  ShowMessage(Text(code, line), MessageKind::Error);
  if (code == kErrInvalidDatabase) {
    ShowMessage("Severe error. Terminating program.", MessageKind::Error);
    Terminate(1);
  }
}

}  // namespace olm
