// Commands on documents that run without windows.
#include "applications/ApplicationRules.h"
#include "applications/Generation.h"
#include "data/DataModule.h"
#include "data/Store.h"
#include "documents/ApplicationDocument.h"
#include "shell/Clock.h"
#include "shell/CommandLine.h"
#include "shell/Commands.h"
#include "shell/Prompter.h"
#include "shell/RootPaths.h"
#include "shell/SharedState.h"

#include <QDir>
#include <QFileInfo>

namespace {

// zajavki print NUMBER YEAR FILE.xlsx [--root DIR] [--force]: the printed application of one
// application of the current generation, written to FILE (not into Documents) and not opened.
// An existing FILE is replaced only with --force, and then only by a complete new workbook.
int runPrint(const CommandLine& cl, QTextStream& out, QTextStream& err) {
    const QStringList args = cl.positional();
    if (args.size() != 3) {
        err << QStringLiteral("Нужно: zajavki print НОМЕР ГОД ФАЙЛ.xlsx [--root ПАПКА] [--force]") << Qt::endl;
        return 2;
    }
    bool numberOk = false, yearOk = false;
    const double number = QString(args[0]).replace(u',', u'.').toDouble(&numberOk);
    const int year = args[1].toInt(&yearOk);
    if (!numberOk || !yearOk) {
        err << QStringLiteral("Неверный номер заявки или год: %1 %2").arg(args[0], args[1]) << Qt::endl;
        return 2;
    }
    const QString target = args[2];
    if (QFileInfo::exists(target) && !cl.hasFlag(QStringLiteral("--force"))) {
        err << QStringLiteral("Файл %1 уже есть; чтобы заменить его, укажите --force")
                   .arg(QDir::toNativeSeparators(target))
            << Qt::endl;
        return 1;
    }
    const RootPaths root = RootPaths::resolve(cl.root);
    // Printing only reads: a root without a database is an error, not a reason to make one.
    if (!QFileInfo::exists(root.storeFile())) {
        err << QStringLiteral("Нет базы данных %1").arg(QDir::toNativeSeparators(root.storeFile())) << Qt::endl;
        return 1;
    }
    const auto store = Store::open(root.storeFile());
    SharedState state;
    state.CurYear = quint16(SystemClock().today().year());
    // The notices of trainees left out are lines on standard error; the document is written all the same.
    FixedPrompter prompter(Prompter::Answer::No, [&err](const QString& text) { err << text << Qt::endl; });
    TDM dm(*store, state, prompter);
    for (Table* table : {dm.tblConfig, dm.tblDoljn, dm.tblSpez, dm.tblNewZicl, dm.tblZajavki2023, dm.tblSluch2023})
        table->open();

    const Generation& generation = Generation::current();
    if (!applications::locateApplication(dm, generation, number, year)) {
        err << QStringLiteral("Заявки %1 на %2 год нет").arg(args[0]).arg(year) << Qt::endl;
        return 1;
    }
    const documents::ApplicationDocument document = documents::buildApplicationDocument(
        dm, documents::ApplicationDocumentSettings::y2023(), root.templates(), prompter);
    document.book.saveAs(target);
    out << QStringLiteral("Заявка записана в %1, слушателей: %2")
               .arg(QDir::toNativeSeparators(target))
               .arg(document.completeRows)
        << Qt::endl;
    return 0;
}

} // namespace

void registerDocumentCommands() { registerCommand(QStringLiteral("print"), runPrint); }
