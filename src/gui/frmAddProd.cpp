#include "frmAddProd.h"

namespace lunora {

frmAddProd::frmAddProd(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Lägg till"));
}

frmAddProd::~frmAddProd() = default;

void frmAddProd::openAdd() { }
void frmAddProd::openChange(const ArticleRow &) { }

} // namespace lunora
