#pragma once

#include "records.h"

#include <QMainWindow>

namespace lunora {

class DeferredTimer;

// The overview: every case of the register in one sortable list.
// (Public interface used by the other windows; the window's own parts are private.)
class frmArendeList final : public QMainWindow
{
    Q_OBJECT

public:
    explicit frmArendeList(QWidget *parent = nullptr);
    ~frmArendeList() override;

    // State handed over by the sign-in: dbUserIndex and dbRealName.
    void setUserIndex(const QString &index);
    QString userIndex() const;
    void setRealName(const QString &name);
    QString realName() const;

    // The staging labels Label2 to Label10 (register field order) and the deferred
    // actions the case window starts: Timer1 (replace) and Timer3 (refresh).
    void stageEntry(const RegisterEntry &entry);
    RegisterEntry stagedEntry() const;
    void startReplace();
    void startRefresh();

    void refresh();
    int rowCount() const;
};

} // namespace lunora
