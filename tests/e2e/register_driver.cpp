// SPDX-License-Identifier: GPL-3.0-or-later
// The voucher window on a real X display with a register in memory holding
// the employer given in TALONARIO_TEST_EMPLOYER as
//   cuit;establecimiento;calle;cp;localidad;provincia
// and the printer scripted. TALONARIO_REPORT_ON_CLOSE writes the boxes'
// texts on close, as the program does.
#include <QApplication>

#include "MemoryStore.h"
#include "ScriptedPlatform.h"
#include "app/VoucherWindow.h"
#include "main/TestHooks.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ScriptedPlatform platform;
    MemoryStore store;
    const QStringList fields = qEnvironmentVariable("TALONARIO_TEST_EMPLOYER").split(u';');
    if (fields.size() == 6) {
        store.Register({fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]});
    }
    app::VoucherWindow window(platform);
    window.setStore(&store);
    QObject::connect(&window, &app::VoucherWindow::closed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    hooks::InstallTestHooks(window);
    window.show();
    return QApplication::exec();
}
