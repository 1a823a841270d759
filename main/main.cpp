// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QTextStream>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/VoucherWindow.h"
#include "assets/Assets.h"
#include "cli/ExitStatus.h"
#include "cli/Run.h"
#include "cli/Tell.h"
#include "history/Destination.h"
#include "history/LazyStore.h"
#include "main/TestHooks.h"
#include "platform/QtPlatform.h"
#include "platform/Startup.h"

namespace {

QtMessageHandler qtHandler = nullptr;

// While Qt reaches the display: a display it cannot reach is told in its
// English and ends in an abort; the user is told in Spanish instead, with
// the status for no display.
void OnDisplayTrouble(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    const bool platformNote =
        context.category != nullptr && qstrncmp(context.category, "qt.qpa.", 7) == 0;
    if (type == QtFatalMsg) {
        QTextStream err(stderr);
        cli::Error(err, platform::UnreachableDisplay());
        err.flush();
        std::_Exit(cli::kFailed);
    }
    if (platformNote) {
        return;  // "could not connect to display": the fatal one is told in Spanish
    }
    if (qtHandler != nullptr) {
        qtHandler(type, context, message);
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    }
}

}  // namespace

int main(int argc, char** argv) {
    InitAssets();
    // Any argument makes it a command line: parsed whole, never the window.
    if (argc > 1) {
        return cli::RunCommandLine(argc, argv);
    }
    if (const QString missing = platform::MissingDisplay(); !missing.isEmpty()) {
        QTextStream err(stderr);
        cli::Error(err, missing);
        return cli::kFailed;
    }

    qtHandler = qInstallMessageHandler(OnDisplayTrouble);
    QApplication app(argc, argv);
    qInstallMessageHandler(qtHandler);
    // The name gives the window its class ("Talonario", the desktop entry's
    // StartupWMClass); the desktop file name ties it to the entry on Wayland.
    QApplication::setApplicationName(QStringLiteral("Talonario"));
    QGuiApplication::setDesktopFileName(QStringLiteral("ar.talonario.Talonario"));
    QApplication::setWindowIcon(QPixmap::fromImage(assets::ResourcePicture(":/assets/icon.bmp")));
    // Dialogs speak Spanish, as the voucher does.
    platform::InstallSpanishQtTranslation();
    platform::QtPlatform platform;
    app::VoucherWindow window(platform);
    // The record (TALONARIO_BASE, else the user's SQLite file); opened when
    // first needed, never before the window shows.
    const QString destination = history::ChosenDestination(QString(), false);
    std::unique_ptr<history::Store> store;
    if (!destination.isEmpty()) {
        store = std::make_unique<history::LazyStore>(destination);
        window.setStore(store.get());
    }
    // A tool window does not count as the last window for Qt's quit-on-close.
    QObject::connect(&window, &app::VoucherWindow::closed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    // Opt-in, for tests and benchmarks that run the real program.
    hooks::InstallTestHooks(window);
    window.show();
    return QApplication::exec();
}
