// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QString>
#include <QStringView>
#include <array>

namespace lunora {

// One line of the case register: nine text fields in fixed order. An overview row
// holds the same nine values.
enum RegisterField
{
    CaseNumber = 0, // "Ärende nr"
    Created, // "Skapad", YYYY-MM-DD
    CustomerNumber, // "Kund nr"
    CustomerName, // "Namn"
    Telephone, // "Telefon"; also names the customer file
    Priority, // "Prioritet"
    CaseStatus, // "Status"
    ControlCode, // "Kontrollnummer"; names the case files
    Signature, // "Signatur"
    RegisterFieldCount
};
using RegisterEntry = std::array<QString, RegisterFieldCount>;

// One article row of a case: six text fields in fixed order.
enum ArticleField
{
    ArticleNumber = 0, // "Artikel nr"
    Description, // "Benämning"
    Quantity, // "Kvant"
    Unit, // "Enh"
    UnitPrice, // "Enhetspris"
    Sum, // "Summa"
    ArticleFieldCount
};
using ArticleRow = std::array<QString, ArticleFieldCount>;

// The header of a case as the case data file stores it.
struct CaseRecord
{
    QString caseNumber;
    QString created;
    QString customerNumber;
    QString customerName;
    QString telephone;
    QString priority;
    QString status;
    QString controlCode;
    QString signature;
};

struct UserRecord
{
    QString user; // "User"
    QString password; // "PassWD"
    QString index; // "Index": "0" administrator, "9" normal user
    QString realName; // "RealName"
};

struct CustomerRecord
{
    QString id; // xID
    QString name; // xName
    QString address; // xAdress
    QString postalAddress; // xPostaladress
    QString country; // xLand
    QString phone1; // xPhone1
    QString phone2; // xPhone2
    QString email; // xEmail
    QString notes; // xNotes
};

// A value can be stored in the register, the article file or an INI file only when it
// holds no double quote, CR or LF and every character exists in Windows-1252.
bool isStorableValue(QStringView value);

} // namespace lunora
