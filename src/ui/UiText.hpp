#pragma once
// Text conversions between the engine's std::string and Qt's QString.
//
// Texts from projects and data files are UTF-8 when they are valid UTF-8 and
// Latin-1 otherwise (old exports of European testing machines); numbers are
// shown and read in the "C" locale with a dot, as the files are.
#include <QString>
#include <string>
#include <string_view>

namespace olm::ui {

// UTF-8 when valid, else Latin-1.
QString ToQString(std::string_view text);
// UTF-8 bytes of a QString.
std::string ToStdString(const QString& text);
// "%g"-style text of a number in the "C" locale.
QString NumberText(double value, const char* format = "%g");

}  // namespace olm::ui
