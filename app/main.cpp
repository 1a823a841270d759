#include <QApplication>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTextStream>
#include <QTranslator>
#include <cstring>

#include "app/BarcodeCommand.h"
#include "app/BatchCommand.h"
#include "app/PdfCommand.h"
#include "app/QuitAfterFirstPaint.h"
#include "app/StateReport.h"
#include "app/VoucherWindow.h"
#include "assets/Assets.h"
#include "platform/QtPlatform.h"

namespace {

bool HasArgument(int argc, char** argv, const char* name) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0) {
            return true;
        }
    }
    return false;
}

// The commands that need no display draw on the offscreen platform.
void UseOffscreenPlatform() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
}

}  // namespace

int main(int argc, char** argv) {
    InitAssets();
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (HasArgument(argc, argv, "--barcode")) {
        UseOffscreenPlatform();
        QGuiApplication app(argc, argv);
        return RunBarcodeCommand(app.arguments(), err);
    }
    if (HasArgument(argc, argv, app::kBatchWorkerOption)) {
        UseOffscreenPlatform();
        QApplication app(argc, argv);
        return app::RunBatchWorker();
    }
    if (HasArgument(argc, argv, "--lote")) {
        UseOffscreenPlatform();
        QApplication app(argc, argv);
        return app::RunBatchCommand(app.arguments(), err);
    }
    if (HasArgument(argc, argv, "--pdf") || HasArgument(argc, argv, "--help") ||
        HasArgument(argc, argv, "-h")) {
        UseOffscreenPlatform();
        QApplication app(argc, argv);
        return app::RunPdfCommand(app.arguments(), out, err);
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Talonario"));
    QApplication::setWindowIcon(QPixmap::fromImage(app::ResourcePicture(":/assets/icon.bmp")));
    // Dialogs speak Spanish, as the voucher does.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtTranslator);
    }
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
