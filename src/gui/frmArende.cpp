// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/frmArende.h"

#include "gui/articlelistmodel.h"
#include "gui/articlerowspanel.h"
#include "gui/caselist.h"
#include "gui/casenotespanel.h"
#include "gui/casesheetactions.h"
#include "gui/deferredtimer.h"
#include "gui/frmKundData.h"
#include "gui/lockwaitbox.h"
#include "gui/messagebox.h"
#include "gui/storemessages.h"
#include "gui/units.h"
#include "gui/windowregistry.h"
#include "printing/casesheet.h"
#include "storage/accounts.h"
#include "storage/casefiles.h"
#include "storage/caseregister.h"
#include "storage/casestore.h"
#include "storage/customercards.h"
#include "storage/datafolder.h"
#include "storage/fileio.h"
#include "storage/notesfile.h"
#include "storage/numbers.h"
#include "storage/session.h"
#include "storage/vat.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStatusBar>
#include <algorithm>
#include <utility>

namespace lunora {

namespace {

const QString CrLf = QStringLiteral("\r\n");

// Shows the whole text in the label's width: the control code's 38 characters are
// wider in Liberation Sans than in the typeface the layout was drawn for, so the font
// steps down (not below 6.5 pt) until the closing brace fits.
void setFittedText(QLabel *label, const QString &text, double pointSize)
{
    QFont font = label->font();
    font.setPointSizeF(pointSize);
    while (font.pointSizeF() > 6.5 && QFontMetrics(font).horizontalAdvance(text) > label->width())
        font.setPointSizeF(font.pointSizeF() - 0.25);
    label->setFont(font);
    label->setText(text);
}

const QString TitleBase = QStringLiteral("Kundärende");
const QString TitlePrefix = QStringLiteral("Kundärende - ");
const QString CreditMark = QStringLiteral("              *** KREDIT ***");

// Before anybody has signed in, a case is written in the administrator's name.
QString signedInAuthor()
{
    const SignedInUser &user = session::user();
    return user.userId.isEmpty() ? QStringLiteral("Administratör") : user.realName;
}

const QStringList &registerFieldCaptions()
{
    static const QStringList captions { QStringLiteral("Ärendenummer"), QStringLiteral("Skapad"),
        QStringLiteral("Kundnummer"), QStringLiteral("Namn"), QStringLiteral("Telefon"),
        QStringLiteral("Prioritet"), QStringLiteral("Status"), QStringLiteral("Kontrollnummer"),
        QStringLiteral("Signatur") };
    return captions;
}

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

frmArende::frmArende(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmArende"));
    setFont(formFont());
    buildControls();
    m_sheet = new CaseSheetActions(this,
        { [this]() { return sheetData(); },
            [this]() {
                return m_state.caseState;
            } });
    buildMenus();
    buildTimers();
    resetToLoaded();
}

frmArende::~frmArende() = default;

// The state of a freshly loaded window, except for who is signed in. Used when the
// window is created and whenever it is given another case to show.
void frmArende::resetToLoaded()
{
    m_newCaseTimer->setInterval(0);
    m_closeTimer->setInterval(0);
    m_openNotice->setInterval(0);
    m_rows->clear();

    m_customerNumber->clear();
    m_customerName->clear();
    m_telephone->clear();
    while (m_priority->count() > 2)
        m_priority->removeItem(m_priority->count() - 1);
    while (m_status->count() > 3)
        m_status->removeItem(m_status->count() - 1);
    m_priority->setCurrentIndex(0);
    m_status->setCurrentIndex(0);
    applyPriorityColours();

    m_notes->setStoredNotes(CaseNotes());
    m_notes->setSaveNotesEnabled(false); // a new case keeps its notes with "Spara"
    m_state = State();
    setCaseState(CaseState::Unsaved);

    m_caseNumberLabel->clear();
    m_createdLabel->clear();
    m_controlCodeLabel->clear();
    m_realNameMirror->setText(session::user().realName);
    m_authorMirror->setText(activeUser());
    m_signatureLabel->setText(sign());
    m_openedMirror->clear();
    m_bannerName->clear();
    m_bannerName->adjustSize();

    m_newCaseAction->setEnabled(true);
    m_save->setEnabled(true);
    m_save->setVisible(true);
    m_update->setEnabled(false);
    m_update->setVisible(false);

    m_sumMirror->setText(m_state.sumText);
    m_sumCaptionMirror->clear();
    m_statusText->clear();
    m_vatText->clear();
    m_state.vatRate = vat::readRate();
    setWindowTitle(TitleBase);
    updateTotals();
}

void frmArende::setCaseState(CaseState state)
{
    m_state.caseState = state;
    m_rows->setCaseState(state);
    enableSavedCaseActions();
}

void frmArende::showSignature(const QString &signature)
{
    m_state.signature = signature;
    m_signatureLabel->setText(signature);
}

void frmArende::showAuthor(const QString &author)
{
    m_state.author = author;
    m_authorMirror->setText(author);
}

bool frmArende::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_telephone && event->type() == QEvent::FocusOut)
        lookUpCustomer();
    if (watched == m_client && event->type() == QEvent::Resize)
        layOutClient();
    return QMainWindow::eventFilter(watched, event);
}

void frmArende::lookUpCustomer()
{
    // A telephone with a customer card fills in the customer the user has not typed
    // yet; what was typed stays. A card that is missing is not created by looking.
    if (!m_customerName->text().isEmpty())
        return;
    const std::optional<CustomerRecord> customer = customerfile::find(m_telephone->text());
    if (!customer)
        return;
    m_customerName->setText(customer->name);
    if (m_customerNumber->text().isEmpty())
        m_customerNumber->setText(customer->id);
}

QString frmArende::realName() const
{
    return session::user().realName;
}

QString frmArende::activeUser() const
{
    return m_state.author.value_or(signedInAuthor());
}

QString frmArende::sign() const
{
    return m_state.signature.value_or(session::user().userId);
}

FileFollower *frmArende::articleFollower() const
{
    return m_rows->follower();
}

RegisterEntry frmArende::currentEntry() const
{
    RegisterEntry entry;
    entry[CaseNumber] = m_state.caseNumber;
    entry[Created] = m_state.created;
    entry[CustomerNumber] = m_customerNumber->text();
    entry[CustomerName] = m_customerName->text();
    entry[Telephone] = m_telephone->text();
    entry[Priority] = m_priority->currentText();
    entry[CaseStatus] = m_status->currentText();
    entry[ControlCode] = m_state.controlCode;
    entry[Signature] = sign();
    return entry;
}

QList<ArticleRow> frmArende::articleRows() const
{
    return m_rows->rows();
}

CaseNotes frmArende::caseNotes() const
{
    return m_notes->notes();
}

// ---- Opening ------------------------------------------------------------------------

void frmArende::prepareNewCase(const std::optional<Customer> &customer)
{
    WindowRegistry::caseList()->setOpenCase(true);
    m_newCaseTimer->setInterval(1);
    // While an existing case is shown the new-case start only warns; offering "Spara"
    // then would store that case a second time under its own control code.
    if (!m_newCaseAction->isEnabled())
        return;
    m_state.customerToFill = customer;
    m_save->setEnabled(true);
    m_save->setVisible(true);
    m_update->setEnabled(false);
    m_update->setVisible(false);
}

void frmArende::startNewCase()
{
    if (!m_newCaseAction->isEnabled()) {
        MessageBox::show(this, QStringLiteral("Varning"),
            QStringLiteral("Detta alternativ är ej tillgängligt!"), MessageBox::Ok, MessageBox::Exclamation);
        return;
    }

    // Asked for with this start only: a later "Nytt ärende" starts blank.
    const std::optional<Customer> customer = std::exchange(m_state.customerToFill, std::nullopt);
    if (customer) {
        m_customerNumber->setText(customer->number);
        m_customerName->setText(customer->name);
        m_telephone->setText(customer->telephone);
        m_state.filledIn = *customer;
    }

    const double r = QRandomGenerator::global()->generateDouble(); // 0 <= r < 1
    const int serial = std::clamp(static_cast<int>(r * 9999), 0, 9998);
    const QDate today = QDate::currentDate();
    const QString number
        = today.toString(QStringLiteral("yyMMdd")) + QLatin1Char(' ') + QString::number(serial);

    m_state.caseNumber = number;
    m_state.created = today.toString(QStringLiteral("yyyy-MM-dd"));
    m_state.controlCode = NewControlCode();
    m_rows->startCase(m_state.controlCode);
    m_caseNumberLabel->setText(m_state.caseNumber);
    m_createdLabel->setText(m_state.created);
    setFittedText(m_controlCodeLabel, m_state.controlCode, formFont().pointSizeF());
    showSignature(activeUser());
    // A name already in the field is the customer's: the placeholder stands only for none.
    m_bannerName->setText(
        m_customerName->text().isEmpty() ? QStringLiteral("[Kund saknas]") : m_customerName->text());
    m_bannerName->adjustSize();
    setWindowTitle(TitlePrefix + number);
    m_state.vatRate = vat::readRate();
    updateTotals();
}

void frmArende::openExistingCase(const RegisterEntry &entry)
{
    WindowRegistry::caseList()->setOpenCase(true);
    resetToLoaded();

    m_save->setEnabled(false);
    m_save->setVisible(false);
    m_update->setEnabled(true);
    m_update->setVisible(true);
    m_newCaseAction->setEnabled(false);

    m_state.opened = entry;
    setCaseState(CaseState::Saved);
    m_state.caseNumber = entry[CaseNumber];
    m_state.created = entry[Created];
    m_state.controlCode = entry[ControlCode];
    m_caseNumberLabel->setText(m_state.caseNumber);
    m_createdLabel->setText(m_state.created);
    m_customerNumber->setText(entry[CustomerNumber]);
    m_customerName->setText(entry[CustomerName]);
    m_telephone->setText(entry[Telephone]);
    selectComboText(m_priority, entry[Priority], QStringLiteral("Prioritet"));
    selectComboText(m_status, entry[CaseStatus], QStringLiteral("Status"));
    setFittedText(m_controlCodeLabel, m_state.controlCode, formFont().pointSizeF());
    showSignature(entry[Signature]);
    setWindowTitle(TitlePrefix + entry[CaseNumber]);

    m_state.openProblems << m_rows->openCase(m_state.controlCode);
    openNotes(m_state.controlCode);

    showAuthor(entry[Signature]);
    m_openedMirror->setText(QStringLiteral("1"));
    updateBanner();
    updateTotals();

    // Told once the window is on the screen, not while the overview is still opening it.
    if (!m_state.openProblems.isEmpty())
        m_openNotice->setInterval(1);
}

void frmArende::openNotes(const QString &code)
{
    const Result<QString> notesPath = paths::notesFile(code);
    if (!notesPath)
        return;
    const Result<CaseNotes> notes = notesfile::load(notesPath.value());
    if (notes) {
        m_notes->setStoredNotes(notes.value());
        m_notes->setSaveNotesEnabled(true);
        return;
    }
    m_state.notesUnreadable = true;
    m_state.openProblems << QStringLiteral(
        "- Anteckningarna kunde inte läsas (%1). De kan inte sparas förrän "
        "filen går att läsa.")
                                .arg(nativePath(notesPath.value()));
}

// A register value that is not one of the box's entries is kept as an extra entry, so
// that the case shows what the register holds and "Uppdatera" writes it back unchanged.
void frmArende::selectComboText(QComboBox *box, const QString &text, const QString &fieldCaption)
{
    const int found = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found >= 0) {
        box->setCurrentIndex(found);
        return;
    }
    box->addItem(text);
    box->setCurrentIndex(box->count() - 1);
    if (text.isEmpty())
        m_state.openProblems << QStringLiteral("- %1 saknas i ärenderegistret.").arg(fieldCaption);
    else
        m_state.openProblems << QStringLiteral(
            "- %1 \"%2\" är inget av listans val; värdet visas som det står.")
                                    .arg(fieldCaption, text);
}

void frmArende::showOpenProblems()
{
    if (m_state.openProblems.isEmpty())
        return;
    MessageBox::show(this, QStringLiteral("Ärende"),
        QStringLiteral("Ärendet är öppnat, men allt kunde inte läsas:") + CrLf + CrLf
            + m_state.openProblems.join(CrLf),
        MessageBox::Ok, MessageBox::Exclamation);
}

// ---- Displays -----------------------------------------------------------------------

void frmArende::applyPriorityColours()
{
    QPalette palette = m_priority->palette();
    if (m_priority->currentIndex() == 1) {
        palette.setColor(QPalette::Button, QColor(255, 0, 0));
        palette.setColor(QPalette::ButtonText, Qt::white);
    } else if (m_priority->currentIndex() == 0) {
        palette.setColor(QPalette::Button, Qt::white);
        palette.setColor(QPalette::ButtonText, Qt::black);
    } else {
        return; // a value kept from the register keeps the colours it had
    }
    m_priority->setPalette(palette);
}

void frmArende::updateBanner()
{
    m_bannerName->setText(m_customerName->text());
    m_bannerName->adjustSize();
}

void frmArende::updateTotals()
{
    double total = 0.0;
    for (const ArticleRow &row : m_rows->rows()) {
        // Read as a plain decimal: a folder written on a Swedish desktop totals the same
        // on an English one.
        if (const std::optional<double> value = numbers::plainDecimal(row[Sum]))
            total += *value;
    }
    m_state.sumText = numbers::formatTwoDecimals(total);
    m_sumMirror->setText(m_state.sumText);

    // The displays judge the total as it is shown, rounded to hundredths.
    const double shown = numbers::roundTwoDecimals(total);
    if (shown >= 0.0) {
        m_state.sumCaption = QStringLiteral("Att betala");
        m_statusText->setText(QStringLiteral(" Att betala (Inkl): ") + m_state.sumText);
        setWindowTitle(TitlePrefix + m_state.caseNumber);
    } else if (shown <= -1.0) {
        m_state.sumCaption = QStringLiteral("Er tillgodo");
        m_statusText->setText(QStringLiteral(" Er tillgodo (Inkl): ") + m_state.sumText);
        setWindowTitle(TitlePrefix + m_state.caseNumber + CreditMark);
    } else {
        return; // between -1 and 0 every display keeps what it showed
    }
    m_sumCaptionMirror->setText(m_state.sumCaption);
    m_vatText->setText(vat::lineText(m_state.vatRate, m_state.sumText));
}

CaseSheetData frmArende::sheetData() const
{
    CaseSheetData data;
    data.caseNumber = m_state.caseNumber;
    data.created = m_state.created;
    data.controlCode = m_state.controlCode;
    data.signature = sign();
    data.customerNumber = m_customerNumber->text();
    data.customerName = m_customerName->text();
    data.telephone = m_telephone->text();
    data.priority = m_priority->currentText();
    data.status = m_status->currentText();
    data.sumLabel = m_state.sumCaption;
    data.sumText = m_state.sumText;
    data.columnCaptions = ArticleListModel::columnCaptions();
    // The sheet sizes its table like the list on the screen, in 1/1440 inch.
    data.columnWidths = m_rows->columnWidthUnits();
    for (const ArticleRow &row : m_rows->rows())
        data.rows << QStringList(row.begin(), row.end());
    data.notes = caseNotes();
    return data;
}

// ---- Saving, updating, closing ------------------------------------------------------

bool frmArende::refuseUnstorable(const RegisterEntry &entry, const QString &title)
{
    const int field = caseregister::firstUnstorableField(entry);
    if (field < 0)
        return false;
    MessageBox::show(this, title, unstorableValueText(registerFieldCaptions().value(field)), MessageBox::Ok,
        MessageBox::Exclamation);
    return true;
}

bool frmArende::save()
{
    // Blanks count as content; only an empty field is missing.
    if (m_customerNumber->text().isEmpty() || m_customerName->text().isEmpty()
        || m_telephone->text().isEmpty() || m_rows->rows().isEmpty()) {
        MessageBox::show(this, QStringLiteral("Felmeddelande"),
            QStringLiteral("Du måste fylla i dessa fält: ") + CrLf + CrLf + QStringLiteral("- Kundnummer")
                + CrLf + QStringLiteral("- Namn") + CrLf + QStringLiteral("- Telefon") + CrLf
                + QStringLiteral("- Artikeldata"),
            MessageBox::Ok, MessageBox::Exclamation);
        return false;
    }

    const RegisterEntry entry = currentEntry();
    if (refuseUnstorable(entry, QStringLiteral("Spara")))
        return false;
    if (refuseUnstorableNotes(QStringLiteral("Spara")))
        return false;

    auto fail = [this](const QString &reason) {
        MessageBox::show(this, QStringLiteral("Spara"),
            QStringLiteral("Ärendet kunde inte sparas.") + CrLf + CrLf + reason + CrLf + CrLf
                + QStringLiteral("Allt du har skrivit finns kvar i fönstret."),
            MessageBox::Ok, MessageBox::Exclamation);
    };

    const StoreResult saved = CaseStore::saveNewCase(entry, m_notes->notes());
    switch (saved.kind) {
    case StoreError::None:
        break;
    case StoreError::MissingFolder:
        fail(QStringLiteral("Mappen Lib saknas i datamappen (%1).")
                 .arg(nativePath(DataFolder::path(u"\\Lib"))));
        return false;
    case StoreError::UnsafeName:
        fail(QStringLiteral("Kontrollnumret \"%1\" kan inte användas som filnamn.").arg(entry[ControlCode]));
        return false;
    case StoreError::UnstorableValue:
        refuseUnstorable(entry, QStringLiteral("Spara"));
        return false;
    case StoreError::UnstorableNote:
        refuseUnstorableNotes(QStringLiteral("Spara"));
        return false;
    case StoreError::Busy:
        showFolderBusy(this);
        return false;
    default:
        fail(QStringLiteral("Ärendets filer kunde inte skrivas i datamappen (%1).")
                 .arg(nativePath(DataFolder::path(u"\\Lib"))));
        return false;
    }

    // The window now shows the case as stored: nothing of it is unsaved.
    m_state.opened = entry;
    m_notes->markSaved();
    setCaseState(CaseState::Saved);
    WindowRegistry::caseList()->refresh();
    WindowRegistry::caseList()->confirm(QStringLiteral("Ärende %1 är sparat.").arg(entry[CaseNumber]));
    printLabelsOfNewCase(entry);
    close();
    return true;
}

void frmArende::updateCase(std::function<void()> then)
{
    const QString oldAuthor = activeUser();
    const QString newAuthor = realName();

    RegisterEntry entry = currentEntry();
    entry[Signature] = newAuthor;
    if (const StoreResult checked = CaseStore::checkReplacement(entry, m_state.opened); !checked) {
        if (checked.field >= 0)
            MessageBox::show(this, QStringLiteral("Uppdatera"),
                unstorableValueText(registerFieldCaptions().value(checked.field)), MessageBox::Ok,
                MessageBox::Exclamation);
        return;
    }
    if (refuseUnstorableNotes(QStringLiteral("Uppdatera")))
        return;

    const MessageBox::Answer answer = MessageBox::show(this, QStringLiteral("Bekräfta"),
        QStringLiteral("Vill du uppdatera, författare (användare) ") + oldAuthor + QStringLiteral(" till ")
            + newAuthor + QStringLiteral("?"),
        MessageBox::YesNo, MessageBox::Information);
    if (answer != MessageBox::AnswerYes)
        return;
    m_afterUpdate = std::move(then);

    // The case list replaces the line and its row together (without the overview the
    // store alone does, and the list is read anew when the overview opens). A long list
    // writes on a worker: the window stays as it is meanwhile, without the buttons that
    // would change or close the case, and goes on when the result is in.
    setUpdating(true);
    WindowRegistry::caseList()->replaceCase(
        entry, this, [this, entry, newAuthor](const StoreResult &replaced) {
            setUpdating(false);
            std::function<void()> next = std::exchange(m_afterUpdate, {});
            if (updateStored(entry, newAuthor, replaced)) {
                if (next)
                    next();
                return;
            }
            // Nothing or not all was stored: a close asked for meanwhile asks its questions now.
            if (std::exchange(m_closeAfterUpdate, false))
                QMetaObject::invokeMethod(
                    this, [this]() { askAndClose(); }, Qt::QueuedConnection);
        });
}

// Closes the window and returns true when the update was stored whole.
bool frmArende::updateStored(
    const RegisterEntry &entry, const QString &newAuthor, const StoreResult &replaced)
{
    if (!replaced) {
        // Nothing was stored: the window stays open with everything the user typed.
        if (replaced.kind == StoreError::NotFound)
            MessageBox::show(this, QStringLiteral("Uppdatering"),
                QStringLiteral("Ärendet har tagits bort vid en annan kassa."), MessageBox::Ok,
                MessageBox::Exclamation);
        else
            showStoreFailure(this, QStringLiteral("Uppdatering"), replaced);
        return false;
    }
    m_state.opened = entry;
    // The notes are stored with the update; when they cannot be, nothing of it is done.
    if (m_notes->hasUnsavedNotes() && !saveNotesOnly())
        return false;

    showAuthor(newAuthor);
    showSignature(newAuthor);

    WindowRegistry::caseList()->confirm(QStringLiteral("Ärende %1 är uppdaterat.").arg(entry[CaseNumber]));
    MessageBox::show(this, QStringLiteral("Bekräftelse"), QStringLiteral("Uppdatering slutförd!"),
        MessageBox::Ok, MessageBox::Information);

    m_closeAfterUpdate = false;
    WindowRegistry::caseList()->refresh();
    close();
    return true;
}

void frmArende::setUpdating(bool updating)
{
    m_updating = updating;
    QWidget *const controls[] = { m_save, m_update, m_close, m_rows };
    for (std::size_t i = 0; i < std::size(controls); ++i) {
        if (updating)
            m_enabledBeforeUpdate[i] = controls[i]->isEnabled();
        controls[i]->setEnabled(!updating && m_enabledBeforeUpdate[i]);
    }
    if (updating)
        m_enabledBeforeUpdate.back() = m_newCaseAction->isEnabled();
    m_newCaseAction->setEnabled(!updating && m_enabledBeforeUpdate.back());
}

bool frmArende::refuseUnstorableNotes(const QString &title)
{
    const StoreResult checked = CaseStore::checkNotes(m_notes->notes());
    if (checked.kind != StoreError::UnstorableNote)
        return false;
    const auto field = notesfile::Field(checked.field);
    MessageBox::show(this, title,
        QStringLiteral("Fältet \"%1\" innehåller ett tecken som saknas i teckentabellen Windows-1252 och "
                       "inte kan sparas.")
                .arg(notesfile::fieldCaption(field))
            + CrLf + CrLf + QStringLiteral("Ändra texten och försök igen. Ingenting har sparats."),
        MessageBox::Ok, MessageBox::Exclamation);
    return true;
}

bool frmArende::saveNotesOnly()
{
    const QString title = QStringLiteral("Spara anteckningar");
    if (refuseUnstorableNotes(title))
        return false;
    auto fail = [this, &title](const QString &reason) {
        MessageBox::show(this, title,
            QStringLiteral("Anteckningarna kunde inte sparas.") + CrLf + CrLf + reason + CrLf + CrLf
                + QStringLiteral("Det du har skrivit finns kvar i fönstret."),
            MessageBox::Ok, MessageBox::Exclamation);
        return false;
    };
    if (m_state.notesUnreadable)
        return fail(QStringLiteral("Anteckningsfilen kunde inte läsas när ärendet öppnades och skrivs därför "
                                   "inte över."));
    const Result<QString> path = paths::notesFile(m_state.controlCode);
    if (!path)
        return fail(
            QStringLiteral("Kontrollnumret \"%1\" kan inte användas som filnamn.").arg(m_state.controlCode));
    if (const StoreResult stored
        = CaseStore::saveNotes(m_state.controlCode, m_notes->notes(), m_state.caseState);
        !stored) {
        if (showIfBusy(this, stored))
            return false;
        if (stored.kind == StoreError::CaseRemoved) {
            showStoreFailure(this, title, stored);
            return false;
        }
        return fail(QStringLiteral("Filen %1 kunde inte skrivas.").arg(nativePath(path.value())));
    }
    m_notes->markSaved();
    return true;
}

void frmArende::saveCustomer()
{
    CustomerRecord customer;
    customer.id = m_customerNumber->text();
    customer.name = m_customerName->text();
    customer.phone1 = m_telephone->text();
    const QString title = QStringLiteral("Spara kund");
    const customercards::Outcome outcome = customercards::create(customer.phone1, customer);
    if (outcome.error == customercards::Error::Busy) {
        showFolderBusy(this);
        return;
    }
    if (!outcome.ok()) {
        QString text;
        switch (outcome.error) {
        case customercards::Error::Exists:
            text
                = QStringLiteral("Det finns redan ett kundkort för telefonnumret \"%1\". Det kortet har inte "
                                 "ändrats; öppna det med \"Visa kunddata..\" i översikten.")
                      .arg(customer.phone1);
            break;
        case customercards::Error::ReservedName:
            text = customer.phone1.isEmpty()
                ? QStringLiteral("Fyll i telefonnumret först: kundkortet sparas under kundens telefonnummer.")
                : QStringLiteral(
                    "Kundkortet kan inte sparas: \"%1\" är namnet på en av programmets egna filer.")
                      .arg(customer.phone1);
            break;
        case customercards::Error::UnsafeName:
            text = QStringLiteral("Kundkortet kan inte sparas: telefonnumret \"%1\" kan inte användas som "
                                  "filnamn (det får inte innehålla / eller \\ och inte vara . eller ..).")
                       .arg(customer.phone1);
            break;
        case customercards::Error::Unstorable: {
            // The card holds three of this window's fields; the refusal names the one at
            // fault by its caption here, with what a card (not the register) cannot hold.
            const int field = outcome.field == 0 ? CustomerNumber
                : outcome.field == 1             ? CustomerName
                                                 : Telephone;
            text = frmKundData::unstorableValueText(registerFieldCaptions().value(field));
            break;
        }
        default:
            text = QStringLiteral("Kundkortet kunde inte sparas (%1).")
                       .arg(nativePath(
                           DataFolder::path(u"\\Lib\\") + customer.phone1 + QStringLiteral(".ini")));
            break;
        }
        MessageBox::show(this, title, text, MessageBox::Ok, MessageBox::Exclamation);
        return;
    }
    // The card just made, for the address and the rest to be filled in with "Ändra".
    WindowRegistry::get<frmKundData>()->showCustomer(customer.phone1);
}

void frmArende::saveByKey()
{
    for (QPushButton *button : { m_save, m_update }) {
        if (button->isVisible() && button->isEnabled()) {
            button->click();
            return;
        }
    }
}

// ---- Printing and the article rows, handed to their parts ---------------------------

void frmArende::startPrintSheet()
{
    m_sheet->startPrintSheet();
}

void frmArende::startPrintAndClose()
{
    m_printAndCloseTimer->setInterval(1);
}

void frmArende::printAndClose()
{
    m_sheet->print();
    m_closeTimer->setInterval(2000);
}

bool frmArende::savePdf(const QString &file)
{
    return m_sheet->savePdf(file);
}

QString frmArende::defaultPdfPath() const
{
    return m_sheet->defaultPdfPath();
}

void frmArende::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // A share's other machines write unseen by any watcher: a look whenever the user
    // comes back to the window.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        m_rows->checkFile();
}

void frmArende::addArticleRow(const ArticleRow &row)
{
    m_rows->appendRow(row);
}

void frmArende::stageRow(const ArticleRow &row)
{
    m_rows->stageRow(row);
}

void frmArende::startReplaceRow()
{
    m_rows->startReplaceRow();
}

} // namespace lunora
