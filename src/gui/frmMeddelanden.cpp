// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/frmMeddelanden.h"

#include "gui/messagebox.h"
#include "gui/pushbutton.h"
#include "gui/storemessages.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringListModel>

namespace lunora {

namespace {
const QString Title = QStringLiteral("Meddelanden");

} // namespace

frmMeddelanden::frmMeddelanden(QWidget *parent)
    : QDialog(parent)
    , m_names(new QStringListModel(this))
{
    setObjectName(QStringLiteral("frmMeddelanden"));
    setWindowTitle(Title);
    auto *grid = new QGridLayout(this);

    m_lstMallar = new QListView;
    m_lstMallar->setObjectName(QStringLiteral("lstMallar"));
    m_lstMallar->setAccessibleName(QStringLiteral("Mallar"));
    m_lstMallar->setModel(m_names);
    m_lstMallar->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lstMallar->setMaximumWidth(200);
    grid->addWidget(m_lstMallar, 0, 0, 4, 1);

    auto *nameLabel = new QLabel(QStringLiteral("Namn"));
    m_txtNamn = new QLineEdit;
    m_txtNamn->setObjectName(QStringLiteral("txtNamn"));
    m_txtNamn->setAccessibleName(nameLabel->text());
    nameLabel->setBuddy(m_txtNamn);
    grid->addWidget(nameLabel, 0, 1);
    grid->addWidget(m_txtNamn, 0, 2);

    auto *textLabel = new QLabel(QStringLiteral("Text"));
    m_txtText = new QPlainTextEdit;
    m_txtText->setObjectName(QStringLiteral("txtText"));
    m_txtText->setAccessibleName(textLabel->text());
    m_txtText->setTabChangesFocus(true);
    m_txtText->setMinimumSize(380, 200);
    textLabel->setBuddy(m_txtText);
    grid->addWidget(textLabel, 1, 1, Qt::AlignTop);
    grid->addWidget(m_txtText, 1, 2);

    auto *hint
        = new QLabel(QStringLiteral("Fylls i: {namn} kundens namn, {ärende} ärendenumret, {summa} att "
                                    "betala eller er tillgodo, {företag} företagets namn, {enhet} enheten."));
    hint->setObjectName(QStringLiteral("lblPlatshallare"));
    hint->setWordWrap(true);
    grid->addWidget(hint, 2, 2);

    auto *row = new QHBoxLayout;
    m_cmdNy = makePushButton(nullptr, QStringLiteral("cmdNy"), QStringLiteral("Ny mall"));
    m_cmdTaBort = makePushButton(nullptr, QStringLiteral("cmdTaBort"), QStringLiteral("Ta bort"));
    m_cmdSpara = makePushButton(nullptr, QStringLiteral("cmdSpara"), QStringLiteral("Spara"));
    m_cmdStang = makePushButton(nullptr, QStringLiteral("cmdStang"), QStringLiteral("Stäng"));
    row->addWidget(m_cmdNy);
    row->addWidget(m_cmdTaBort);
    row->addStretch();
    row->addWidget(m_cmdSpara);
    row->addWidget(m_cmdStang);
    grid->addLayout(row, 4, 0, 1, 3);

    connect(m_lstMallar->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this](const QModelIndex &current) { showTemplate(current.row()); });
    connect(m_cmdNy, &QPushButton::clicked, this, &frmMeddelanden::onNew);
    connect(m_cmdTaBort, &QPushButton::clicked, this, &frmMeddelanden::onRemove);
    connect(m_cmdSpara, &QPushButton::clicked, this, &frmMeddelanden::onSave);
    connect(m_cmdStang, &QPushButton::clicked, this, &frmMeddelanden::reject);
    reload();
}

frmMeddelanden::~frmMeddelanden() = default;

void frmMeddelanden::reload()
{
    Result<QList<MessageTemplate>> loaded = messagetemplates::load();
    if (!loaded) {
        MessageBox::show(this, Title,
            QStringLiteral("Meddelandemallarna kunde inte läsas:\r\n") + loaded.error(), MessageBox::Ok,
            MessageBox::Exclamation);
        loaded = messagetemplates::builtIn();
    }
    m_templates = loaded.takeValue();
    m_shown = -1;
    QStringList names;
    for (const MessageTemplate &t : m_templates)
        names << t.name;
    m_names->setStringList(names);
    showTemplate(-1);
    if (!m_templates.isEmpty())
        m_lstMallar->setCurrentIndex(m_names->index(0));
}

int frmMeddelanden::currentRow() const
{
    return m_lstMallar->currentIndex().row();
}

// What is typed belongs to the template shown until another is chosen.
void frmMeddelanden::keepEdits()
{
    if (m_shown < 0 || m_shown >= m_templates.size())
        return;
    m_templates[m_shown] = { m_txtNamn->text().trimmed(), m_txtText->toPlainText() };
    m_names->setData(m_names->index(m_shown), m_templates[m_shown].name);
}

void frmMeddelanden::showTemplate(int row)
{
    keepEdits();
    m_shown = row;
    const bool any = row >= 0 && row < m_templates.size();
    m_txtNamn->setText(any ? m_templates.at(row).name : QString());
    m_txtText->setPlainText(any ? m_templates.at(row).text : QString());
    m_txtNamn->setEnabled(any);
    m_txtText->setEnabled(any);
    m_cmdTaBort->setEnabled(any);
}

void frmMeddelanden::onNew()
{
    keepEdits();
    m_templates.append({ QStringLiteral("Ny mall"), QStringLiteral("Hej {namn}!\n\n\n{företag}") });
    m_names->insertRows(m_names->rowCount(), 1);
    m_names->setData(m_names->index(m_names->rowCount() - 1), m_templates.last().name);
    m_shown = -1;
    m_lstMallar->setCurrentIndex(m_names->index(m_names->rowCount() - 1));
    m_txtNamn->setFocus();
    m_txtNamn->selectAll();
}

void frmMeddelanden::onRemove()
{
    const int row = currentRow();
    if (row < 0 || row >= m_templates.size())
        return;
    m_shown = -1;
    m_templates.removeAt(row);
    m_names->removeRows(row, 1);
    showTemplate(currentRow());
}

void frmMeddelanden::onSave()
{
    keepEdits();
    for (qsizetype i = 0; i < m_templates.size(); ++i) {
        const QString &name = m_templates.at(i).name;
        bool twice = false;
        for (qsizetype j = 0; j < i; ++j)
            twice = twice || m_templates.at(j).name.compare(name, Qt::CaseInsensitive) == 0;
        if (twice || !messagetemplates::nameProblem(name).isEmpty()) {
            MessageBox::show(this, Title,
                QStringLiteral("Mallen \"%1\" behöver ett eget namn utan hakparenteser.").arg(name),
                MessageBox::Ok, MessageBox::Exclamation);
            m_lstMallar->setCurrentIndex(m_names->index(static_cast<int>(i)));
            return;
        }
    }
    const StoreResult saved = messagetemplates::save(m_templates);
    if (saved.kind == StoreError::UnstorableValue) {
        MessageBox::show(this, Title,
            QStringLiteral("En mall innehåller tecken som inte kan sparas. Ändra texten och försök igen."),
            MessageBox::Ok, MessageBox::Exclamation);
        return;
    }
    if (!saved) {
        showStoreFailure(this, Title, saved);
        return;
    }
    MessageBox::show(
        this, Title, QStringLiteral("Mallarna är sparade."), MessageBox::Ok, MessageBox::Information);
}

} // namespace lunora
