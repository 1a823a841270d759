#include <QApplication>
#include <QTextStream>

#include "app/QuitAfterFirstPaint.h"
#include "app/StateReport.h"
#include "app/VoucherWindow.h"
#include "assets/Assets.h"
#include "cli/CommandLine.h"
#include "cli/ExitStatus.h"
#include "cli/Run.h"
#include "platform/QtPlatform.h"

int main(int argc, char** argv) {
    InitAssets();
    // Any argument makes it a command line: parsed whole, never the window.
    if (argc > 1) {
        return cli::RunCommandLine(argc, argv);
    }
    if (const QString missing = cli::MissingDisplay(); !missing.isEmpty()) {
        QTextStream(stderr) << missing << Qt::endl;
        return cli::kFailed;
    }

    QApplication app(argc, argv);
    // The name gives the window its class ("Talonario", the desktop entry's
    // StartupWMClass); the desktop file name ties it to the entry on Wayland.
    QApplication::setApplicationName(QStringLiteral("Talonario"));
    QGuiApplication::setDesktopFileName(QStringLiteral("ar.talonario.Talonario"));
    QApplication::setWindowIcon(QPixmap::fromImage(app::ResourcePicture(":/assets/icon.bmp")));
    // Dialogs speak Spanish, as the voucher does.
    cli::InstallSpanishQtTranslation();
    platform::QtPlatform platform;
    app::QuitAfterFirstPaint quitAfterFirstPaint;
    app::VoucherWindow window(platform);
    // TALONARIO_EXIT_AFTER_FIRST_PAINT set: exit once the window has painted (start-up benchmark).
    if (qEnvironmentVariableIsSet("TALONARIO_EXIT_AFTER_FIRST_PAINT")) {
        window.installEventFilter(&quitAfterFirstPaint);
    }
    // A tool window does not count as the last window for Qt's quit-on-close.
    QObject::connect(&window, &app::VoucherWindow::closed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    // Opt-in, for tests that drive the real program: what the voucher held.
    if (const QString report = qEnvironmentVariable("TALONARIO_REPORT_ON_CLOSE");
        !report.isEmpty()) {
        QObject::connect(&window, &app::VoucherWindow::closed, &window,
                         [&window, report] { app::WriteStateReport(window, report); });
    }
    window.show();
    return QApplication::exec();
}
