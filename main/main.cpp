// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QTextStream>

#include "app/VoucherWindow.h"
#include "assets/Assets.h"
#include "cli/ExitStatus.h"
#include "cli/Run.h"
#include "main/TestHooks.h"
#include "platform/QtPlatform.h"
#include "platform/Startup.h"

int main(int argc, char** argv) {
    InitAssets();
    // Any argument makes it a command line: parsed whole, never the window.
    if (argc > 1) {
        return cli::RunCommandLine(argc, argv);
    }
    if (const QString missing = platform::MissingDisplay(); !missing.isEmpty()) {
        QTextStream(stderr) << missing << Qt::endl;
        return cli::kFailed;
    }

    QApplication app(argc, argv);
    // The name gives the window its class ("Talonario", the desktop entry's
    // StartupWMClass); the desktop file name ties it to the entry on Wayland.
    QApplication::setApplicationName(QStringLiteral("Talonario"));
    QGuiApplication::setDesktopFileName(QStringLiteral("ar.talonario.Talonario"));
    QApplication::setWindowIcon(QPixmap::fromImage(assets::ResourcePicture(":/assets/icon.bmp")));
    // Dialogs speak Spanish, as the voucher does.
    platform::InstallSpanishQtTranslation();
    platform::QtPlatform platform;
    app::VoucherWindow window(platform);
    // A tool window does not count as the last window for Qt's quit-on-close.
    QObject::connect(&window, &app::VoucherWindow::closed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    // Opt-in, for tests and benchmarks that run the real program.
    hooks::InstallTestHooks(window);
    window.show();
    return QApplication::exec();
}
