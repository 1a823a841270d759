// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ErrorTexts.h"

#include <QRegularExpression>
#include <cerrno>

namespace platform {

namespace {

// The first name in double quotes, as CUPS quotes a destination, as
// " «name»"; empty when there is none.
QString QuotedName(const QString& message) {
    static const QRegularExpression quoted(QStringLiteral("\"([^\"]+)\""));
    const QRegularExpressionMatch match = quoted.match(message);
    return match.hasMatch() ? QStringLiteral(" «%1»").arg(match.captured(1)) : QString();
}

}  // namespace

QString CupsRefusalText(int status, const QString& message) {
    const QString printer = QuotedName(message);
    // IPP status codes (RFC 8011, section 4.1.6, and the CUPS extensions).
    switch (status) {
        case 0x0400:
            return QStringLiteral("la solicitud de impresión no es válida");
        case 0x0401:
            return QStringLiteral("no se permite imprimir en la impresora%1").arg(printer);
        case 0x0402:
            return QStringLiteral("la impresora%1 pide identificarse").arg(printer);
        case 0x0403:
            return QStringLiteral("no tiene autorización para imprimir en la impresora%1")
                .arg(printer);
        case 0x0404:
            return QStringLiteral("la impresora%1 no puede hacer el trabajo").arg(printer);
        case 0x0405:
            return QStringLiteral("la impresora%1 tardó demasiado en responder").arg(printer);
        case 0x0406:
            return QStringLiteral("no se encuentra la impresora%1").arg(printer);
        case 0x0407:
            return QStringLiteral("la impresora%1 ya no existe").arg(printer);
        case 0x0408:
            return QStringLiteral("el trabajo es demasiado grande para la impresora%1")
                .arg(printer);
        case 0x040A:
            return QStringLiteral("la impresora%1 no admite el formato del documento").arg(printer);
        case 0x040B:
            return QStringLiteral("la impresora%1 no admite las opciones del trabajo").arg(printer);
        case 0x0411:
            return QStringLiteral("el documento tiene un formato dañado");
        case 0x0412:
            return QStringLiteral("la impresora%1 no pudo leer el documento").arg(printer);
        case 0x041C:
        case 0x041D:
        case 0x041E:
        case 0x041F:
            return QStringLiteral("la cuenta de impresión no permite el trabajo");
        case 0x0500:
            return QStringLiteral("falló el servidor de impresión");
        case 0x0501:
            return QStringLiteral("la impresora%1 no admite la operación").arg(printer);
        case 0x0502:
            return QStringLiteral("el servicio de impresión no está disponible");
        case 0x0503:
            return QStringLiteral("la impresora%1 no admite esta versión del protocolo IPP")
                .arg(printer);
        case 0x0504:
            return QStringLiteral("la impresora%1 tiene una avería").arg(printer);
        case 0x0505:
            return QStringLiteral("la impresora%1 tuvo un error pasajero; vuelva a intentarlo")
                .arg(printer);
        case 0x0506:
            return QStringLiteral("la impresora%1 no acepta trabajos").arg(printer);
        case 0x0507:
            return QStringLiteral("la impresora%1 está ocupada").arg(printer);
        case 0x0508:
            return QStringLiteral("el trabajo fue cancelado");
        case 0x050A:
            return QStringLiteral("la impresora%1 está desactivada").arg(printer);
        case 0x050B:
            return QStringLiteral("la impresora%1 tiene demasiados trabajos en cola").arg(printer);
        case 0x1000:
            return QStringLiteral("respuesta no válida del servidor de impresión");
        case 0x1001:
            return QStringLiteral("se canceló la identificación ante el servidor de impresión");
        case 0x1002:
            return QStringLiteral("falló la conexión segura con el servidor de impresión");
        case 0x1003:
            return QStringLiteral("el servidor de impresión pide una conexión cifrada");
        default:
            break;
    }
    return QStringLiteral("el servidor de impresión devolvió el error 0x%1")
        .arg(status, 4, 16, QLatin1Char('0'));
}

QString SystemErrorText(int error) {
    switch (error) {
        case EPERM:
        case EACCES:
            return QStringLiteral("no tiene permiso");
        case ENOENT:
            return QStringLiteral("no existe el archivo o la carpeta");
        case EIO:
            return QStringLiteral("error de lectura o escritura en el dispositivo");
        case ENXIO:
        case ENODEV:
            return QStringLiteral("no existe el dispositivo");
        case ENOMEM:
            return QStringLiteral("no hay memoria suficiente");
        case EBUSY:
            return QStringLiteral("el dispositivo o recurso está ocupado");
        case EEXIST:
            return QStringLiteral("ya existe un archivo con ese nombre");
        case EXDEV:
            return QStringLiteral("el origen y el destino están en discos distintos");
        case ENOTDIR:
            return QStringLiteral("una parte de la ruta no es una carpeta");
        case EISDIR:
            return QStringLiteral("es una carpeta");
        case EINVAL:
            return QStringLiteral("argumento no válido");
        case ENFILE:
        case EMFILE:
            return QStringLiteral("hay demasiados archivos abiertos");
        case ETXTBSY:
            return QStringLiteral("el archivo está en uso");
        case EFBIG:
            return QStringLiteral("el archivo es demasiado grande");
        case ENOSPC:
        case EDQUOT:
            return QStringLiteral("el disco está lleno");
        case EROFS:
            return QStringLiteral("el disco es de solo lectura");
        case EMLINK:
            return QStringLiteral("demasiados enlaces");
        case EPIPE:
            return QStringLiteral("se cerró el otro extremo de la conexión");
        case ENAMETOOLONG:
            return QStringLiteral("el nombre es demasiado largo");
        case ELOOP:
            return QStringLiteral("demasiados enlaces simbólicos encadenados");
        case ENOTEMPTY:
            return QStringLiteral("la carpeta no está vacía");
        case EINTR:
            return QStringLiteral("la operación fue interrumpida");
        case EAGAIN:
            return QStringLiteral("el recurso no está disponible por ahora");
        case ETIMEDOUT:
            return QStringLiteral("se agotó el tiempo de espera");
        case ESTALE:
            return QStringLiteral("el archivo de red ya no es válido");
        case EOPNOTSUPP:
            return QStringLiteral("operación no admitida");
        case ECONNREFUSED:
            return QStringLiteral("conexión rechazada");
        default:
            break;
    }
    return QStringLiteral("error del sistema nº %1").arg(error);
}

}  // namespace platform
