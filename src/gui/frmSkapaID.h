#pragma once

#include <QDialog>

namespace lunora {

class frmSkapaID final : public QDialog
{
    Q_OBJECT

public:
    explicit frmSkapaID(QWidget *parent = nullptr);
    ~frmSkapaID() override;
};

} // namespace lunora
