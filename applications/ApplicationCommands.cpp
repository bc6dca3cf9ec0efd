// Commands on applications that run without windows.
#include "applications/ApplicationCommand.h"
#include "applications/ApplicationExport.h"
#include "applications/TrainingPlan.h"
#include "data/AppContext.h"
#include "data/ServerSettings.h"

#include <QDir>
#include <QFileInfo>

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

// zajavki plan YEAR [--root DIR] [--csv]: the year's training plan, as aligned text or as CSV.
int runPlan(const CommandLine& cl, QTextStream& out, QTextStream& err) {
    const QStringList args = cl.positional();
    if (args.size() != 1) {
        err << QStringLiteral("Нужно: zajavki plan ГОД [--root ПАПКА] [--csv]") << Qt::endl;
        return 2;
    }
    bool ok = false;
    const int year = args[0].toInt(&ok);
    if (!ok || year < 1900 || year > 9998) {
        err << QStringLiteral("Неверный год: %1").arg(args[0]) << Qt::endl;
        return 2;
    }
    SystemClock clock;
    FixedPrompter prompter(Prompter::Answer::No, [&err](const QString& text) { err << text << Qt::endl; });
    AppContext app(RootPaths::resolve(cl.root), clock, prompter);
    app.serverUrl = ServerSettings::startUrl(cl.serverUrl(), app.root);
    if (QString why; !app.hasStore(&why)) {
        err << why << Qt::endl;
        return 1;
    }
    app.openStore();
    const plan::Plan made =
        plan::buildPlan(app.createDataModule(), Generation::current(), year, clock.today());
    out << (cl.hasFlag(QStringLiteral("--csv")) ? plan::toCsv(made) : plan::toText(made));
    out.flush();
    return 0;
}

} // namespace

void registerApplicationCommands() {
    registerCommand(
        QStringLiteral("plan"), runPlan,
        {QStringLiteral("печатает план обучения на год: кому нужно обучение по срокам сертификатов"),
         QStringLiteral("ГОД"),
         {{QStringLiteral("csv"), QString(), QStringLiteral("в виде CSV (UTF-8) с заголовком")}},
         RootAccess::Read});
    registerCommand(QStringLiteral("export"), runExport,
                    {QStringLiteral("выгружает заявку файлом для учебного центра"),
                     QStringLiteral("НОМЕР ГОД ФАЙЛ"),
                     {{QStringLiteral("force"), QString(), QStringLiteral("заменить имеющийся файл")}},
                     RootAccess::Write});
}
