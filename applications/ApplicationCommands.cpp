// Commands on applications that run without windows.
#include "applications/ApplicationCommand.h"
#include "applications/ApplicationExport.h"
#include "core/Commands.h"

#include <QDir>

namespace {

// zajavki export NUMBER YEAR FILE [--root DIR] [--force]: the export file of one application.
// FILE gets ".db" unless it ends with it, as in the window's save dialog.
int runExport(const CommandLine& cl, QTextStream& out, QTextStream& err) {
    ApplicationCommand command(
        cl, err, QStringLiteral("Нужно: zajavki export НОМЕР ГОД ФАЙЛ [--root ПАПКА] [--force]"),
        applications::exportTarget);
    if (const int status = command.prepare())
        return status;
    const Generation& g = Generation::current();
    const QList<QVariantList> rows = applications::exportRows(command.dm(), g);
    const QByteArray bytes = applications::encodeExport(command.dm(), g, rows);
    applications::fillWorkingTable(command.dm(), g);
    applications::writeExportFile(command.app().root, command.target(), bytes);
    out << QStringLiteral("Выгружено слушателей: %1 в %2")
               .arg(QString::number(rows.size()), QDir::toNativeSeparators(command.target()))
        << Qt::endl;
    return 0;
}

} // namespace

void registerApplicationCommands() {
    registerCommand(QStringLiteral("export"), runExport,
                    {QStringLiteral("выгружает заявку файлом для учебного центра"), QStringLiteral("НОМЕР ГОД ФАЙЛ"),
                     {{QStringLiteral("force"), QString(), QStringLiteral("заменить имеющийся файл")}}});
}
