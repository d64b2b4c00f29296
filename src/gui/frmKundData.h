#pragma once

#include <QDialog>

namespace lunora {

// The customer card: what the customer file of a case's telephone holds, read-only.
class frmKundData final : public QDialog
{
    Q_OBJECT

public:
    explicit frmKundData(QWidget *parent = nullptr);
    ~frmKundData() override;

    // Fills the card from Lib\<telephone>.ini; false (card untouched) when it cannot be read.
    bool showCustomer(const QString &telephone);
};

} // namespace lunora
