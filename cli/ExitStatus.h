// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace cli {

// Exit statuses of the program, window and commands alike.
constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kRefused = 2;
constexpr int kUnwritable = 3;
constexpr int kSomeRefused = 4;
constexpr int kNoRecord = 5;
// A batch stopped by a signal, as the shell reports one: 128 and its number.
constexpr int kHangUp = 129;
constexpr int kInterrupted = 130;
constexpr int kTerminated = 143;

struct ExitStatusMeaning {
    int status;
    const char* meaning;  // UTF-8
};

// What each status means: the one wording `--help` lists, and the manual
// page and the README say the same (a test holds them to it).
inline constexpr ExitStatusMeaning kExitStatuses[] = {
    {kDone, "Hecho: la ventana se cerró, o todos los archivos pedidos quedaron escritos."},
    {kFailed,
     "No hay pantalla donde abrir la ventana (ni DISPLAY ni WAYLAND_DISPLAY, o no responde), o "
     "no alcanzó la memoria."},
    {kRefused,
     "Opción o valor rechazado, CSV ilegible o comprobante no válido (el motivo va a la salida "
     "de errores); con --estricto, también un dígito verificador o un importe en letras que no "
     "coinciden."},
    {kUnwritable,
     "No se pudo escribir un archivo pedido, o en la carpeta; con --lote, también otra corrida "
     "que escribe en la misma carpeta, o una fila que no se pudo hacer o escribir; con "
     "--imprimir, una impresora que no existe, detenida o que rechaza el trabajo, o alguna "
     "fila que no se imprimió."},
    {kSomeRefused,
     "Con --lote: se rechazaron algunas filas; las demás quedaron escritas o ya "
     "estaban."},
    {kNoRecord,
     "Con --historial, --reimprimir, --padron o --completar: no se pudo leer el historial."},
    {kHangUp,
     "Con --lote: detenido por un corte de la terminal (SIGHUP); las filas en curso "
     "quedan terminadas y nada a medio escribir."},
    {kInterrupted,
     "Con --lote: detenido con Ctrl+C (SIGINT); las filas en curso quedan "
     "terminadas y nada a medio escribir."},
    {kTerminated,
     "Con --lote: detenido con SIGTERM; las filas en curso quedan terminadas y nada "
     "a medio escribir."},
};

}  // namespace cli
