// Commands on documents that run without windows.
#include "applications/ApplicationCommand.h"
#include "core/RootPaths.h"
#include "documents/ApplicationDocument.h"

#include <QDir>

namespace {

// zajavki print NUMBER YEAR FILE.xlsx [--root DIR] [--force]: the printed application of one
// application of the current generation, written to FILE (not into Documents) and not opened.
// An existing FILE is replaced only with --force, and then only by a complete new workbook.
int runPrint(const CommandLine& cl, QTextStream& out, QTextStream& err) {
    ApplicationCommand command(
        cl, err, QStringLiteral("Нужно: zajavki print НОМЕР ГОД ФАЙЛ.xlsx [--root ПАПКА] [--force]"));
    // Not even --force writes over the database, anything else in the Base or Backup folder or any
    // other database; refused before the database is opened.
    const QStringList args = cl.positional();
    if (args.size() == 3) {
        if (const QString why = RootPaths::resolve(cl.root).writeRefusal(args[2]); !why.isEmpty()) {
            err << why << Qt::endl;
            return 1;
        }
    }
    if (const int status = command.prepare())
        return status;
    // The notices of trainees left out are lines on standard error; the document is written all the same.
    const documents::ApplicationDocument document =
        documents::buildApplicationDocument(command.dm(), documents::ApplicationDocumentSettings::y2023(),
                                            command.app().root.templates(), command.app().prompter);
    document.book.saveAs(command.target());
    out << QStringLiteral("Заявка записана в %1, слушателей: %2")
               .arg(QDir::toNativeSeparators(command.target()), QString::number(document.completeRows))
        << Qt::endl;
    return 0;
}

} // namespace

void registerDocumentCommands() {
    registerCommand(QStringLiteral("print"), runPrint,
                    {QStringLiteral("записывает печатную форму заявки, не открывая её"),
                     QStringLiteral("НОМЕР ГОД ФАЙЛ.xlsx"),
                     {{QStringLiteral("force"), QString(), QStringLiteral("заменить имеющийся файл")}},
                     RootAccess::Write});
}
