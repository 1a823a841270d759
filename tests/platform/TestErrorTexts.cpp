// SPDX-License-Identifier: GPL-3.0-or-later
// The reasons the system, CUPS and Qt give in English, told in Spanish.
#include <QtTest>
#include <cerrno>
#include <cstring>

#include "platform/ErrorTexts.h"

class TestErrorTexts : public QObject {
    Q_OBJECT
  private slots:
    void cupsRefusals_data();
    void cupsRefusals();
    void systemErrors_data();
    void systemErrors();
    void systemErrorsNeverInEnglish();
    void fileErrors_data();
    void fileErrors();
};

void TestErrorTexts::cupsRefusals_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("spanish");

    QTest::newRow("queue not accepting jobs, with its name")
        << 0x0506 << "Destination \"VoucherPDF\" is not accepting jobs."
        << "la impresora «VoucherPDF» no acepta trabajos";
    QTest::newRow("not accepting jobs, no name in the message")
        << 0x0506 << ""
        << "la impresora no acepta trabajos";
    QTest::newRow("queue removed meanwhile") << 0x0406 << "The printer or class does not exist."
                                             << "no se encuentra la impresora";
    QTest::newRow("forbidden to this user") << 0x0401 << "Forbidden"
                                            << "no se permite imprimir en la impresora";
    QTest::newRow("asks for a password") << 0x0402 << "Unauthorized"
                                         << "la impresora pide identificarse";
    QTest::newRow("printer busy") << 0x0507 << "Printer \"Oficina\" is busy."
                                  << "la impresora «Oficina» está ocupada";
    QTest::newRow("printer deactivated") << 0x050A << ""
                                         << "la impresora está desactivada";
    QTest::newRow("job cancelled") << 0x0508 << "Job canceled by user."
                                   << "el trabajo fue cancelado";
    QTest::newRow("server's internal error, its English reason dropped")
        << 0x0500 << "No such file or directory"
        << "falló el servidor de impresión";
    QTest::newRow("server unreachable") << 0x0502 << "Connection refused"
                                        << "el servicio de impresión no está disponible";
    QTest::newRow("unknown status: its number, in Spanish")
        << 0x0999 << "Something new"
        << "el servidor de impresión devolvió el error 0x0999";
}

void TestErrorTexts::cupsRefusals() {
    QFETCH(int, status);
    QFETCH(QString, message);
    QFETCH(QString, spanish);

    QCOMPARE(platform::CupsRefusalText(status, message), spanish);
}

void TestErrorTexts::systemErrors_data() {
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("spanish");

    QTest::newRow("EEXIST: another user's file in the way")
        << EEXIST << "ya existe un archivo con ese nombre";
    QTest::newRow("EACCES: folder not writable") << EACCES << "no tiene permiso";
    QTest::newRow("ENOENT: folder missing") << ENOENT << "no existe el archivo o la carpeta";
    QTest::newRow("ENOTDIR: a file where a folder should be")
        << ENOTDIR << "una parte de la ruta no es una carpeta";
    QTest::newRow("EISDIR: a folder where the file should be") << EISDIR << "es una carpeta";
    QTest::newRow("ENOSPC: disk full") << ENOSPC << "el disco está lleno";
    QTest::newRow("EDQUOT: quota exceeded") << EDQUOT << "el disco está lleno";
    QTest::newRow("EROFS: read-only medium") << EROFS << "el disco es de solo lectura";
    QTest::newRow("ENAMETOOLONG") << ENAMETOOLONG << "el nombre es demasiado largo";
    QTest::newRow("ELOOP: a link loop") << ELOOP << "demasiados enlaces simbólicos encadenados";
    QTest::newRow("EIO: failing device") << EIO << "error de lectura o escritura en el dispositivo";
    QTest::newRow("unknown number: the number, in Spanish") << 4242 << "error del sistema nº 4242";
}

void TestErrorTexts::systemErrors() {
    QFETCH(int, error);
    QFETCH(QString, spanish);

    QCOMPARE(platform::SystemErrorText(error), spanish);
}

void TestErrorTexts::systemErrorsNeverInEnglish() {
    // Whatever the number, the system's own (English) wording never shows.
    for (int error = 1; error < 134; ++error) {
        const QString text = platform::SystemErrorText(error);
        QVERIFY(!text.isEmpty());
        QVERIFY2(text.compare(QString::fromLocal8Bit(std::strerror(error)), Qt::CaseInsensitive),
                 qPrintable(text));
    }
}

void TestErrorTexts::fileErrors_data() {
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("spanish");

    QTest::newRow("open failed") << int(QFileDevice::OpenError) << "no se pudo abrir";
    QTest::newRow("write failed") << int(QFileDevice::WriteError) << "no se pudo escribir";
    QTest::newRow("read failed") << int(QFileDevice::ReadError) << "no se pudo leer";
    QTest::newRow("out of resources, such as a full disk")
        << int(QFileDevice::ResourceError)
        << "faltan recursos: espacio en el disco, memoria o archivos";
    QTest::newRow("rename failed")
        << int(QFileDevice::RenameError) << "no se pudo cambiar el nombre";
    QTest::newRow("remove failed") << int(QFileDevice::RemoveError) << "no se pudo borrar";
    QTest::newRow("permissions not set")
        << int(QFileDevice::PermissionsError) << "no se pudieron cambiar los permisos";
    QTest::newRow("unspecified") << int(QFileDevice::UnspecifiedError) << "error sin especificar";
}

void TestErrorTexts::fileErrors() {
    QFETCH(int, error);
    QFETCH(QString, spanish);

    QCOMPARE(platform::FileErrorText(QFileDevice::FileError(error)), spanish);
}

QTEST_APPLESS_MAIN(TestErrorTexts)
#include "TestErrorTexts.moc"
