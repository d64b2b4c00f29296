#include "frmKundData.h"

namespace lunora {

frmKundData::frmKundData(QWidget *parent)
    : QDialog(parent)
{
}

frmKundData::~frmKundData() = default;

bool frmKundData::showCustomer(const QString &)
{
    return false;
}

} // namespace lunora
