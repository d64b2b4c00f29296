#pragma once

#include <QDialog>

namespace lunora {

class frmOm final : public QDialog
{
    Q_OBJECT

public:
    explicit frmOm(QWidget *parent = nullptr);
    ~frmOm() override;
};

} // namespace lunora
