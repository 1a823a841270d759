#include "app/StateReport.h"

#include <QFile>
#include <QTextStream>

#include "app/Layout.h"
#include "app/VoucherWindow.h"

namespace app {

bool WriteStateReport(const VoucherWindow& window, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        return false;
    }
    QTextStream out(&file);
    for (const Control& control : VoucherControls()) {
        const bool computed = control.kind == Kind::Label && control.framed;
        if (control.kind == Kind::Entry || control.kind == Kind::MultiEntry || computed) {
            QString text = window.text(QString::fromUtf8(control.name));
            out << control.name << '\t' << text.replace(u'\n', QStringLiteral("\\n")) << '\n';
        }
    }
    return out.status() == QTextStream::Ok;
}

}  // namespace app
