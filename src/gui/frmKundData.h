#pragma once

#include <QDialog>
#include <QList>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace lunora {

// The customer card: what the customer file of a case's telephone holds, read-only.
class frmKundData final : public QDialog
{
    Q_OBJECT

public:
    explicit frmKundData(QWidget *parent = nullptr);
    ~frmKundData() override;

    // Fills the card from Lib\<telephone>.ini and shows it; false (card untouched, a
    // message shown) when the telephone names no file or the file cannot be read.
    bool showCustomer(const QString &telephone);

    // Text1 to Text9 in order, and the header Label9.
    QStringList fieldTexts() const;
    QString headerText() const;

private:
    void refuse(const QString &text);

    QLabel *m_header = nullptr;
    QList<QLineEdit *> m_fields;
    QPlainTextEdit *m_notes = nullptr;
    QPushButton *m_close = nullptr;
};

} // namespace lunora
