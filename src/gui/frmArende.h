// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "printing/casesheet.h"
#include "storage/casestore.h"
#include "storage/notesfile.h"
#include "storage/records.h"

#include <QList>
#include <QMainWindow>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;

namespace lunora {

class ArticleRowsPanel;
class CaseNotesPanel;
class CaseSheetActions;
class DeferredTimer;
class FileFollower;

// The case window: one case is created, looked at and changed here. The article rows
// (gui/articlerowspanel.h), the notes (gui/casenotespanel.h) and the sheet's print,
// preview, PDF and history (gui/casesheetactions.h) are parts of their own; the window
// keeps the form, saving and closing, and hands each part what it needs.
class frmArende final : public QMainWindow
{
    Q_OBJECT

public:
    // A customer a new case starts with: what "Nytt för kunden" fills in.
    struct Customer
    {
        QString number;
        QString name;
        QString telephone;
    };

    explicit frmArende(QWidget *parent = nullptr);
    ~frmArende() override;

    // The signed-in user's name (storage/session.h): "Uppdatera" signs the case with it.
    QString realName() const;
    // The author of the case shown (dbActiveUser): the signed-in user's name for a new
    // case, "Administratör" before anybody has signed in, the register's signature for
    // an opened one.
    QString activeUser() const;
    // The signature shown (dbSign): the signed-in user's id until the window is given a
    // case, then the case's signature.
    QString sign() const;
    QString controlCode() const { return m_state.controlCode; } // dbCode
    // The total as the window shows it (dbSum), and whether it is "Att betala" or
    // "Er tillgodo" (lblSumInfo).
    QString sumText() const { return m_state.sumText; }
    QString sumCaption() const { return m_state.sumCaption; }
    // Saved: opened from the list or saved here; its changes are refused once another
    // desk has removed it. Unsaved: a new case, whose rows are written before it is.
    CaseState caseState() const { return m_state.caseState; }

    // Opening from the overview: "Nytt" (Timer1 started, "Spara" shown, "Uppdatera"
    // hidden) and "Ändra" (the row's nine values, the article rows from the article file).
    // A customer given is filled in when Timer1 has numbered the case.
    void prepareNewCase(const std::optional<Customer> &customer = std::nullopt);
    void openExistingCase(const RegisterEntry &entry);

    // The ways other windows put a case into the case window, through the unsaved-work
    // check below when the window already holds a case: a saved case (the overview's
    // "Ändra", Enter, a double click and a scan, "Läget"; `opened` then runs on the
    // window, as "Skriv ut" prints), and a new one ("Nytt"). The case the window
    // already shows, with work in it, is only brought forward: nothing to load or lose.
    static void showCase(const RegisterEntry &entry, const std::function<void(frmArende *)> &opened = {});
    static void showNewCase();
    // "Nytt för kunden": a new case like "Nytt", with the customer filled in once it is
    // numbered; also in place of a saved case the window shows (nothing of it unsaved).
    static void showNewCaseFor(const Customer &customer);

    // What the window holds that no file holds yet.
    struct UnsavedWork
    {
        bool newCase = false; // a new case with something typed, not saved
        bool header = false; // a saved case's fields changed, not updated
        bool notes = false; // a saved case's notes changed, not saved
        bool any() const { return newCase || header || notes; }
    };
    UnsavedWork unsavedWork() const;
    // The one check every way out of the case shown goes through. With nothing unsaved
    // `proceed` runs at once. Otherwise one question names what is unsaved: "Spara"
    // stores it as its button does and proceeds once it is stored (a new case saved or a
    // case updated has closed the window by then), "Spara inte" lets it go and proceeds,
    // "Avbryt" or a store that failed keeps everything and never proceeds. While an
    // update is being written, `proceed` waits for it and runs once it is stored.
    void settleThen(std::function<void()> proceed);
    // The overview's "Skriv ut": Timer5, which prints and then closes after 2 s (Timer6).
    void startPrintAndClose();

    // Article rows: a row already in the article file joins the list; a changed row is
    // staged (Label14 to Label19) and replaces the row being changed by Timer7.
    void addArticleRow(const ArticleRow &row);
    void stageRow(const ArticleRow &row);
    void startReplaceRow();

    // The case sheet printout (Timer3), as after the print progress window.
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
    FileFollower *articleFollower() const;

    // "Stäng" (Command4, mnuStang, Ctrl+W, Escape) and the end of the program: unsaved
    // work is settled first, otherwise the closing question is asked. `afterClose` runs
    // once the window has closed, never when the user keeps it open.
    void askAndClose(const std::function<void()> &afterClose = {});

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildHeader(QWidget *client);
    void buildFields(QWidget *client);
    void buildButtons(QWidget *client);
    void buildStatusBar();
    void buildHiddenMirrors(QWidget *client);
    void buildTabOrder();
    void buildMenus();
    void buildTimers();
    // The client area grown beyond its designed size: the article list and the fault
    // text share the added height, both take the added width.
    void layOutClient();
    void resetToLoaded();
    void setCaseState(CaseState state);
    void showSignature(const QString &signature);
    void showAuthor(const QString &author);

    void startNewCase(); // mnuNy and Timer1
    void applyPriorityColours();
    void updateBanner();
    void lookUpCustomer(); // Text3 losing the focus
    void updateTotals(); // dbSum, status bar, lblSumInfo and title
    CaseSheetData sheetData() const;

    bool save(); // Command5 "Spara": true once the case is stored (and the window closed)
    // Command6 "Uppdatera"; `then` runs once the update is stored and the window closed.
    void updateCase(std::function<void()> then = {});
    bool updateStored(const RegisterEntry &entry, const QString &newAuthor, const StoreResult &replaced);
    void setUpdating(bool updating);
    void saveByKey(); // Ctrl+S: "Spara" or "Uppdatera", whichever the case offers
    // "Spara" in the unsaved-work question: stores what is unsaved, then `proceed`.
    void storeThen(const UnsavedWork &unsaved, std::function<void()> proceed);
    QString unsavedQuestion(const UnsavedWork &unsaved) const;
    void closeAfterPrint(); // Timer6
    bool refuseUnstorableNotes(const QString &title);
    bool saveNotesOnly(); // "Spara anteckningar"
    void saveCustomer(); // "Spara kund"
    void printAndClose(); // Timer5

    // The windows that work on the saved case (frmArendeShelf.cpp).
    void showLabelWindow(); // "Skriv etikett…"
    void showMessageWindow(); // "Meddela kunden…"
    void showEarlierCases(); // "Tidigare ärenden…"
    void printLabelsOfNewCase(const RegisterEntry &saved);
    void enableSavedCaseActions();

    void openNotes(const QString &controlCode);
    void showOpenProblems();
    void selectComboText(QComboBox *box, const QString &text, const QString &fieldCaption);
    bool refuseUnstorable(const RegisterEntry &entry, const QString &title);

    // The case shown, beyond what its fields hold.
    struct State
    {
        QString caseNumber; // dbOrdernummer
        QString created; // dbCDate
        QString controlCode; // dbCode
        // Unset until the window is given a case: the signed-in user stands in.
        std::optional<QString> signature; // dbSign
        std::optional<QString> author; // dbActiveUser
        QString sumText = QStringLiteral("0"); // dbSum
        QString sumCaption; // lblSumInfo
        CaseState caseState = CaseState::Unsaved;
        // The register line the case was opened from: a value kept from it unchanged may
        // hold what new input may not (a double quote an older copy wrote).
        RegisterEntry opened {};
        // Set when the case's notes file exists but could not be read: saving the fields
        // would replace notes the window never showed.
        bool notesUnreadable = false;
        QStringList openProblems;
        // The shop's VAT rate, read when the window is given a case to show.
        std::optional<double> vatRate;
        // "Nytt för kunden": the customer to fill in once the new case is numbered, and
        // then the fields as filled in, which are nothing typed by the clerk yet.
        std::optional<Customer> customerToFill;
        Customer filledIn;
    };
    State m_state;
    // While the case list writes the update: the controls that change or close the case
    // are off (their earlier state kept here), and a close waits for the result.
    bool m_updating = false;
    bool m_closeAfterUpdate = false;
    std::function<void()> m_afterUpdate; // runs once the update being written is stored
    bool m_closeQuestionQueued = false; // a close from outside asks once
    std::array<bool, 5> m_enabledBeforeUpdate {}; // the four controls, then mnuNy

    // The form.
    QWidget *m_client = nullptr;
    QWidget *m_separator = nullptr; // Shape1
    QLabel *m_banner = nullptr; // Image1
    QLabel *m_bannerName = nullptr; // lblOrderID_MSG
    QLabel *m_caseNumberLabel = nullptr; // dbOrdernummer
    QLabel *m_createdLabel = nullptr; // dbCDate
    QLabel *m_controlCodeLabel = nullptr; // dbCode
    QLabel *m_signatureLabel = nullptr; // dbSign
    QLineEdit *m_customerNumber = nullptr; // Text1
    QLineEdit *m_customerName = nullptr; // Text2
    QLineEdit *m_telephone = nullptr; // Text3
    QComboBox *m_priority = nullptr; // cboPrio
    QComboBox *m_status = nullptr; // cboStat
    ArticleRowsPanel *m_rows = nullptr;
    QPushButton *m_save = nullptr; // Command5 "Spara"
    QPushButton *m_update = nullptr; // Command6 "Uppdatera"
    QPushButton *m_close = nullptr; // Command4 "Stäng"
    CaseNotesPanel *m_notes = nullptr;
    QStatusBar *m_statusBar = nullptr;
    QLabel *m_statusText = nullptr;
    QLabel *m_vatText = nullptr;

    // Hidden labels under their design names: written as the state changes, never read.
    QLabel *m_realNameMirror = nullptr; // dbRealName
    QLabel *m_authorMirror = nullptr; // dbActiveUser
    QLabel *m_sumMirror = nullptr; // dbSum
    QLabel *m_sumCaptionMirror = nullptr; // lblSumInfo
    QLabel *m_openedMirror = nullptr; // appVer: "1" once a saved case is opened

    QAction *m_newCaseAction = nullptr; // mnuNy
    QAction *m_labelAction = nullptr; // "Skriv etikett…", a saved case only
    QAction *m_messageAction = nullptr; // "Meddela kunden…", a saved case only

    CaseSheetActions *m_sheet = nullptr;
    DeferredTimer *m_newCaseTimer = nullptr; // Timer1
    DeferredTimer *m_printAndCloseTimer = nullptr; // Timer5
    DeferredTimer *m_closeTimer = nullptr; // Timer6
    DeferredTimer *m_openNotice = nullptr;
};

} // namespace lunora
