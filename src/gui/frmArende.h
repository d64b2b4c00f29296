#pragma once

#include "records.h"

#include <QMainWindow>

namespace lunora {

// The case window: one case is created, looked at and changed here.
// (Public interface used by the other windows; the window's own parts are private.)
class frmArende final : public QMainWindow
{
    Q_OBJECT

public:
    explicit frmArende(QWidget *parent = nullptr);
    ~frmArende() override;

    // State handed over by the sign-in: dbRealName, dbActiveUser, dbSign. The signed-in
    // user's name and id outlive the window: a new frmArende starts from them.
    void setRealName(const QString &name);
    QString realName() const;
    void setActiveUser(const QString &name);
    QString activeUser() const;
    void setSign(const QString &sign);
    QString sign() const;
    QString controlCode() const; // dbCode

    // Opening from the overview: "Nytt" (Timer1 started, "Spara" shown, "Uppdatera"
    // hidden) and "Ändra" (the row's nine values, the article rows from the article file).
    void prepareNewCase();
    void openExistingCase(const RegisterEntry &entry);
    // The overview's "Skriv ut": Timer5, which prints and then closes after 2 s (Timer6).
    void startPrintAndClose();

    // Article rows: the article entry window adds a row to the list, or stages a changed
    // row in Label14 to Label19 and starts the replace action Timer7.
    void addArticleRow(const ArticleRow &row);
    void stageRow(const ArticleRow &row);
    void startReplaceRow();

    // The print progress window starts the case sheet printout (Timer3).
    void startPrintSheet();
};

} // namespace lunora
