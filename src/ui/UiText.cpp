#include "ui/UiText.hpp"

#include <QStringDecoder>

#include "numerics/UserInterface.hpp"

namespace olm::ui {

QString ToQString(std::string_view text) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString decoded = utf8.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
  if (!utf8.hasError()) return decoded;
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToStdString(const QString& text) {
  QByteArray bytes = text.toUtf8();
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

QString NumberText(double value, const char* format) {
  return QString::fromStdString(Format(format, value));
}

}  // namespace olm::ui
