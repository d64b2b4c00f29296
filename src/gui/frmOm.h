// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QDialog>

namespace lunora {

// The About window: product name, version, rights line and credit line.
class frmOm final : public QDialog
{
    Q_OBJECT

public:
    explicit frmOm(QWidget *parent = nullptr);
    ~frmOm() override;
};

} // namespace lunora
