// Commands on applications that run without windows.
#include "applications/ApplicationExport.h"
#include "applications/ApplicationRules.h"
#include "data/DataModule.h"
#include "data/DbError.h"
#include "shell/AppContext.h"
#include "shell/CommandLine.h"
#include "shell/Commands.h"
#include "shell/StartupTables.h"

#include <QDir>
#include <QFileInfo>

namespace {

// zajavki export NUMBER YEAR FILE [--root DIR] [--force]: the export file of one application.
int runExport(const CommandLine& cl, QTextStream& out, QTextStream& err) {
    const QStringList args = cl.positional();
    if (args.size() != 3) {
        err << QStringLiteral("Нужно: zajavki export НОМЕР ГОД ФАЙЛ [--root ПАПКА] [--force]") << Qt::endl;
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
        err << QStringLiteral("Файл %1 уже есть; чтобы заменить его, укажите --force").arg(QDir::toNativeSeparators(target))
            << Qt::endl;
        return 1;
    }
    // Messages of the rules are written as lines to standard error instead of boxes.
    FixedPrompter prompter(Prompter::Answer::No, [&err](const QString& text) { err << text << Qt::endl; });
    SystemClock clock;
    AppContext app(RootPaths::resolve(cl.root), clock, prompter);
    app.openStore();
    app.state.CurYear = quint16(clock.today().year());
    TDM& dm = app.createDataModule();
    openStartupTables(dm, [](const StartupTable&) {}, [](const StartupTable&, const QString& why) { throw DbError(why); });
    const Generation& g = Generation::current();
    if (!applications::locateApplication(dm, g, number, year)) {
        err << QStringLiteral("Заявки %1 на %2 год нет").arg(args[0]).arg(year) << Qt::endl;
        return 1;
    }
    const QList<QVariantList> rows = applications::exportRows(dm, g);
    const QByteArray bytes = applications::encodeExport(dm, g, rows);
    applications::fillWorkingTable(dm, rows);
    applications::writeExportFile(target, bytes);
    out << QStringLiteral("Выгружено слушателей: %1 в %2").arg(rows.size()).arg(QDir::toNativeSeparators(target))
        << Qt::endl;
    return 0;
}

} // namespace

void registerApplicationCommands() { registerCommand(QStringLiteral("export"), runExport); }
