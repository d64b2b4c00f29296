#pragma once

#include <QDialog>

namespace lunora {

class frmSplash final : public QDialog
{
    Q_OBJECT

public:
    explicit frmSplash(QWidget *parent = nullptr);
    ~frmSplash() override;
};

} // namespace lunora
