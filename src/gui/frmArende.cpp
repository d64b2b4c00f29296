#include "frmArende.h"

namespace lunora {

frmArende::frmArende(QWidget *parent)
    : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Kundärende"));
}

frmArende::~frmArende() = default;

void frmArende::setRealName(const QString &) { }
QString frmArende::realName() const
{
    return {};
}
void frmArende::setActiveUser(const QString &) { }
QString frmArende::activeUser() const
{
    return {};
}
void frmArende::setSign(const QString &) { }
QString frmArende::sign() const
{
    return {};
}
QString frmArende::controlCode() const
{
    return {};
}
void frmArende::prepareNewCase() { }
void frmArende::openExistingCase(const RegisterEntry &) { }
void frmArende::startPrintAndClose() { }
void frmArende::addArticleRow(const ArticleRow &) { }
void frmArende::stageRow(const ArticleRow &) { }
void frmArende::startReplaceRow() { }
void frmArende::startPrintSheet() { }

} // namespace lunora
