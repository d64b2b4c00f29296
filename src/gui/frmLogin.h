#pragma once

#include <QDialog>

namespace lunora {

class frmLogin final : public QDialog
{
    Q_OBJECT

public:
    explicit frmLogin(QWidget *parent = nullptr);
    ~frmLogin() override;
};

} // namespace lunora
