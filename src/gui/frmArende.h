// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "printing/casesheet.h"
#include "storage/casestore.h"
#include "storage/notesfile.h"
#include "storage/records.h"

#include <QList>
#include <QMainWindow>
#include <QPersistentModelIndex>
#include <QStringList>
#include <array>
#include <optional>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTreeView;

namespace lunora {

class ArticleListModel;
class CaseNotesPanel;
class DeferredTimer;
class FileFollower;

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
    // Saved: opened from the list or saved here; its changes are refused once another
    // desk has removed it. Unsaved: a new case, whose rows are written before it is.
    CaseState caseState() const { return m_caseState; }

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

    // The case sheet as a PDF file; a failure is reported to the user. The menu entry
    // "Spara som PDF…" asks for the file first, suggesting defaultPdfPath().
    bool savePdf(const QString &file);
    QString defaultPdfPath() const;

    // The case as the window shows it: the nine register values and the article rows.
    RegisterEntry currentEntry() const;
    QList<ArticleRow> articleRows() const;
    // The notes as the notes area shows them; the case sheet prints these.
    CaseNotes caseNotes() const;

    // Follows the article file of the case shown: rows another desk adds, changes or
    // removes appear in the list, the selected rows staying selected where they still are.
    FileFollower *articleFollower() const { return m_follower; }

    // The id of the signed-in user, as the sign-in handed it over.
    static QString signedInUserId();
    // Forgets what the sign-in handed over (tests start every case from a clean run).
    static void resetSession();
    // The message for a value that the data files cannot hold, naming the field.
    static QString unstorableValueText(const QString &fieldCaption);

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildMenus();
    void resetToLoaded();
    void fitColumns();

    void startNewCase(); // mnuNy and Timer1
    void applyPriorityColours();
    void updateBanner();
    void lookUpCustomer(); // Text3 losing the focus
    void updateTotals(); // dbSum, status bar, lblSumInfo and title

    void save(); // Command5 "Spara"
    void updateCase(); // Command6 "Uppdatera"
    void askAndClose(); // Command4 and mnuStang
    // "Spara anteckningarna?" before the closing question; false when the user stays.
    bool settleUnsavedNotes();
    bool refuseUnstorableNotes(const QString &title);
    bool saveNotesOnly(); // "Spara anteckningar"
    void saveCustomer(); // "Spara kund"
    void print(); // mnuSkrivUt
    void printSheet(); // Timer3
    void printAndClose(); // Timer5
    CaseSheetData sheetData() const;
    void preview(); // "Förhandsgranska…"
    void askPdfFile(); // "Spara som PDF…"
    bool savePdf(const QString &file, const CaseSheetData &data);
    void showPreviewFailure(const Status &failure);
    void showHistory(); // "Historik…"

    void addRow(); // Command1
    void changeRow(); // Command2
    void removeRow(); // Command3
    void addAction(); // btnAdd: the staged row to the file and the list
    void showRowOutcome(const StoreResult &result);
    // The history line of a printout; a case removed meanwhile is said to be gone.
    void notePrintout(const QString &controlCode, const QString &event);
    void reloadArticleRows();
    void followArticles(); // the article file changed at another desk
    void showRows(const QList<ArticleRow> &rows); // keeping the selection by value and place
    bool delAction(); // btnDelete: the selected rows out of the list and the file
    void replaceAction(); // Timer7

    QList<int> selectedRows() const;
    ArticleRow stagedRow() const; // Label14 to Label19
    void showOpenProblems();
    void selectComboText(QComboBox *box, const QString &text, const QString &fieldCaption);
    bool refuseUnstorable(const RegisterEntry &entry, const QString &title);

    // Visible controls.
    QLabel *m_image1 = nullptr;
    QLabel *m_lblOrderID = nullptr;
    QLabel *m_dbOrdernummer = nullptr;
    QLabel *m_dbCDate = nullptr;
    QLabel *m_dbCode = nullptr;
    QLabel *m_dbSign = nullptr;
    QLineEdit *m_text1 = nullptr;
    QLineEdit *m_text2 = nullptr;
    QLineEdit *m_text3 = nullptr;
    QComboBox *m_cboPrio = nullptr;
    QComboBox *m_cboStat = nullptr;
    QTreeView *m_listView = nullptr;
    ArticleListModel *m_articles = nullptr;
    QPushButton *m_command1 = nullptr;
    QPushButton *m_command2 = nullptr;
    QPushButton *m_command3 = nullptr;
    QPushButton *m_command4 = nullptr;
    QPushButton *m_command5 = nullptr;
    QPushButton *m_command6 = nullptr;
    QPushButton *m_btnAdd = nullptr;
    QPushButton *m_btnDelete = nullptr;
    QStatusBar *m_statusBar = nullptr;
    CaseNotesPanel *m_notes = nullptr;
    QLabel *m_statusText = nullptr;
    QLabel *m_vatText = nullptr;

    // Hidden state fields.
    QLabel *m_dbRealName = nullptr;
    QLabel *m_dbActiveUser = nullptr;
    QLabel *m_dbSum = nullptr;
    QLabel *m_lblSumInfo = nullptr;
    QLabel *m_appVer = nullptr;
    QLabel *m_label13 = nullptr;
    std::array<QLabel *, ArticleFieldCount> m_staged {};

    QAction *m_mnuNy = nullptr;
    QAction *m_mnuSkrivUt = nullptr;
    QAction *m_mnuPreview = nullptr;
    QAction *m_mnuPdf = nullptr;
    QAction *m_mnuHistorik = nullptr;
    QAction *m_mnuStang = nullptr;
    QAction *m_mnuOm2 = nullptr;

    DeferredTimer *m_timer1 = nullptr;
    DeferredTimer *m_timer3 = nullptr;
    DeferredTimer *m_timer5 = nullptr;
    DeferredTimer *m_timer6 = nullptr;
    DeferredTimer *m_timer7 = nullptr;
    DeferredTimer *m_openNotice = nullptr;
    FileFollower *m_follower = nullptr;

    // The row that the article window was opened to change: the replace takes out this
    // row even when the user has selected another one in the meantime.
    QPersistentModelIndex m_changedRow;
    // Set from "Ändra" until the replace ran: the row to change may be gone by then.
    bool m_changeOpen = false;
    // Set when a reload found the row being changed no longer in the file (another desk
    // changed or removed it): the change then writes nothing and says so.
    bool m_changedRowLost = false;
    // Set when the case's article file exists but could not be read: the list then does
    // not hold the case's rows, and rewriting the file from it would destroy them.
    bool m_articleFileUnreadable = false;
    // Set when the case's notes file exists but could not be read: saving the fields
    // would replace notes the window never showed.
    bool m_notesUnreadable = false;
    QStringList m_openProblems;
    // The register line the case was opened from: a value kept from it unchanged may
    // hold what new input may not (a double quote an older copy wrote).
    RegisterEntry m_opened {};
    CaseState m_caseState = CaseState::Unsaved;
    // The shop's VAT rate, read when the window is given a case to show.
    std::optional<double> m_vatRate;
};

} // namespace lunora
