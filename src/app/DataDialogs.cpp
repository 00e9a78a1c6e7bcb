#include "app/DataDialogs.hpp"

#include <QMessageBox>

namespace olm {

void OpenReadRawDataDialog(QWidget* parent, COLMDoc&) {
  QMessageBox::information(parent, QObject::tr("Read Raw Data"), QObject::tr("Not available yet."));
}

void OpenZoneDataDialog(QWidget* parent, COLMDoc&) {
  QMessageBox::information(parent, QObject::tr("Data Set-Zone Data"),
                           QObject::tr("Not available yet."));
}

void OpenRawDataEditor(QWidget* parent, COLMDoc&, int, int) {
  QMessageBox::information(parent, QObject::tr("Edit Raw Data"), QObject::tr("Not available yet."));
}

}  // namespace olm
