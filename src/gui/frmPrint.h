#pragma once

#include <QDialog>

namespace lunora {

// The print progress window: 81 steps, then the case window prints its sheet.
class frmPrint final : public QDialog
{
    Q_OBJECT

public:
    explicit frmPrint(QWidget *parent = nullptr);
    ~frmPrint() override;
};

} // namespace lunora
