#pragma once

#include <QDialog>

namespace lunora {

// The About window: product name, version, rights line and credit line.
class frmOm final : public QDialog
{
    Q_OBJECT

public:
    explicit frmOm(QWidget *parent = nullptr);
    ~frmOm() override;
};

} // namespace lunora
