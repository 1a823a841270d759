// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDir>
#include <QtTest>
#include <initializer_list>
#include <utility>

#include "ScriptedPlatform.h"
#include "app/VoucherWindow.h"
#include "app/Widgets.h"

// Fills boxes and labels of a voucher window straight from a list of
// (control, text) pairs: what typing and leaving the boxes would leave there.
inline void Fill(app::VoucherWindow& window,
                 std::initializer_list<std::pair<const char*, const char*>> values) {
    for (const auto& [name, value] : values) {
        QVERIFY2(window.control(QString::fromUtf8(name)), name);
        window.setText(QString::fromUtf8(name), QString::fromUtf8(value));
    }
}

// A voucher that passes validation, with its figures computed.
inline void FillValidVoucher(app::VoucherWindow& window) {
    Fill(window, {{"txtNombre", "Taller Norte"},
                  {"txtCuit", "20123456789"},
                  {"txtMes", "5"},
                  {"txtAnio", "2026"},
                  {"txtCPersonal", "7"},
                  {"txtRemuneracion", "124123"},
                  {"txtRemuneracionDec", "45"},
                  {"txtRecargo", "12"},
                  {"txtRecargoDec", "34"},
                  {"txtOtrosConceptos", "7"},
                  {"txtOtrosConceptosDec", "50"}});
    window.ComputeContribution();
}

inline QImage BarcodeOnVoucher(const app::VoucherWindow& window) {
    return window.control<app::StretchedImage>(QStringLiteral("Image1"))->image();
}

inline QStringList FilesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::System | QDir::Hidden);
}
