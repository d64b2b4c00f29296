// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class QToolButton;

namespace lunora {

// The new-user window: writes a user file, or replaces the four values of an existing
// one when its id is typed again.
class frmSkapaID final : public QDialog
{
    Q_OBJECT

public:
    explicit frmSkapaID(QWidget *parent = nullptr);
    ~frmSkapaID() override;

private:
    void onImage1();
    void onCommand1();
    void showSaveFailure(const QString &reason);

    QLineEdit *m_text1 = nullptr;
    QLineEdit *m_text2 = nullptr;
    QLineEdit *m_text3 = nullptr;
    QLineEdit *m_txtIndex = nullptr;
    QToolButton *m_image1 = nullptr;
    QPushButton *m_command1 = nullptr;
    QPushButton *m_command2 = nullptr;
};

} // namespace lunora
