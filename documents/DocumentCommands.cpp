// Commands on documents that run without windows.
#include "applications/ApplicationCommand.h"
#include "core/RootPaths.h"
#include "documents/ApplicationDocument.h"
#include "spreadsheet/Templates.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

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

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// "Plan.xltx, Zicl2021.xlsx"
QString fileNames(const QStringList& paths) {
    QStringList names;
    for (const QString& path : paths)
        names << QFileInfo(path).fileName();
    return names.join(QStringLiteral(", "));
}

// The user's answer to a question on the terminal: yes only for a typed "да" (or "y").
bool answeredYes(QTextStream& out, const QString& question) {
    out << question << QStringLiteral(" (да/нет): ") << Qt::flush;
    QTextStream in(stdin);
    const QString answer = in.readLine().trimmed().toLower();
    return answer == QStringLiteral("да") || answer == QStringLiteral("д") || answer == QLatin1String("y") ||
           answer == QLatin1String("yes");
}

// zajavki templates [--reset [--yes]] [--root DIR]: how the folder's templates stand against the
// program's; with --reset, the program's put back after a question, the office's own moved aside.
int runTemplates(const CommandLine& cl, QTextStream& out, QTextStream& err) {
    if (!cl.positional().isEmpty()) {
        err << QStringLiteral("Нужно: zajavki templates [--reset] [--root ПАПКА]") << Qt::endl;
        return 2;
    }
    const RootPaths root = RootPaths::resolve(cl.root);
    const QList<TemplateState> states = templateStates(root.templates());
    QStringList replaced;
    for (const TemplateState& state : states)
        replaced += state.replaced;
    if (!cl.hasFlag(QStringLiteral("reset"))) {
        for (const TemplateState& state : states) {
            QString how = state.present ? QStringLiteral("как в программе")
                                        : QStringLiteral("нет; будет положен при первой печати");
            if (!state.replaced.isEmpty())
                how = QStringLiteral("свой шаблон отдела: %1").arg(fileNames(state.replaced));
            out << state.fileName << QStringLiteral(" — ") << how << Qt::endl;
        }
        return 0;
    }
    const QString aside =
        QDir(root.backups())
            .filePath(QStringLiteral("Шаблоны до %1")
                          .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH-mm-ss"))));
    if (!replaced.isEmpty()) {
        const QString question =
            QStringLiteral("Шаблоны отдела (%1) в папке %2 будут заменены шаблонами программы; сами они "
                           "будут перенесены в папку %3. Заменить?")
                .arg(fileNames(replaced), shown(root.templates()), shown(aside));
        if (!cl.hasFlag(QStringLiteral("yes")) && !answeredYes(out, question)) {
            err << QStringLiteral("Шаблоны не изменены.") << Qt::endl;
            return 1;
        }
    }
    const QStringList moved = resetTemplates(root.templates(), aside);
    out << QStringLiteral("В папке %1 шаблоны программы").arg(shown(root.templates()));
    if (!moved.isEmpty())
        out << QStringLiteral("; прежние шаблоны отдела — в папке %1").arg(shown(aside));
    out << u'.' << Qt::endl;
    return 0;
}

} // namespace

void registerDocumentCommands() {
    registerCommand(QStringLiteral("templates"), runTemplates,
                    {QStringLiteral("показывает шаблоны печатных форм папки; с --reset возвращает шаблоны "
                                    "программы (после вопроса)"),
                     QString(),
                     {{QStringLiteral("reset"), QString(),
                       QStringLiteral("вернуть шаблоны программы, перенеся шаблоны отдела в папку Backup")},
                      {QStringLiteral("yes"), QString(), QStringLiteral("не спрашивать")}},
                     RootAccess::Write});
    registerCommand(QStringLiteral("print"), runPrint,
                    {QStringLiteral("записывает печатную форму заявки, не открывая её"),
                     QStringLiteral("НОМЕР ГОД ФАЙЛ.xlsx"),
                     {{QStringLiteral("force"), QString(), QStringLiteral("заменить имеющийся файл")}},
                     RootAccess::Write});
}
