// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/TestHooks.h"

#include <QFile>
#include <QTextStream>

#include "app/Layout.h"
#include "app/VoucherWindow.h"

namespace hooks {

bool WriteStateReport(const app::VoucherWindow& window, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        return false;
    }
    QTextStream out(&file);
    for (const app::Control& control : app::VoucherControls()) {
        const bool computed = control.kind == app::Kind::Label && control.framed;
        if (control.kind == app::Kind::Entry || control.kind == app::Kind::MultiEntry || computed) {
            QString text = window.text(QString::fromUtf8(control.name));
            out << control.name << '\t' << text.replace(u'\n', QStringLiteral("\\n")) << '\n';
        }
    }
    return out.status() == QTextStream::Ok;
}

void InstallTestHooks(app::VoucherWindow& window) {
    if (qEnvironmentVariableIsSet("TALONARIO_EXIT_AFTER_FIRST_PAINT")) {
        // Owned by the window, so it lives exactly as long as what it watches.
        window.installEventFilter(new QuitAfterFirstPaint(&window));
    }
    if (const QString report = qEnvironmentVariable("TALONARIO_REPORT_ON_CLOSE");
        !report.isEmpty()) {
        QObject::connect(&window, &app::VoucherWindow::closed, &window,
                         [&window, report] { WriteStateReport(window, report); });
    }
}

}  // namespace hooks
