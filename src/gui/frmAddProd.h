#pragma once

#include "records.h"

#include <QDialog>

namespace lunora {

// The article entry window: one article row is typed or changed here.
class frmAddProd final : public QDialog
{
    Q_OBJECT

public:
    explicit frmAddProd(QWidget *parent = nullptr);
    ~frmAddProd() override;

    void openAdd();                        // title "Lägg till", empty fields
    void openChange(const ArticleRow &row); // title "Ändra", the row's values
};

} // namespace lunora
