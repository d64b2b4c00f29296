#include "frmArendeList.h"

namespace lunora {

frmArendeList::frmArendeList(QWidget *parent)
    : QMainWindow(parent)
{
}

frmArendeList::~frmArendeList() = default;

void frmArendeList::setUserIndex(const QString &) { }
QString frmArendeList::userIndex() const
{
    return {};
}
void frmArendeList::setRealName(const QString &) { }
QString frmArendeList::realName() const
{
    return {};
}
void frmArendeList::stageEntry(const RegisterEntry &) { }
RegisterEntry frmArendeList::stagedEntry() const
{
    return {};
}
void frmArendeList::startReplace() { }
void frmArendeList::startRefresh() { }
void frmArendeList::refresh() { }
int frmArendeList::rowCount() const
{
    return 0;
}

} // namespace lunora
