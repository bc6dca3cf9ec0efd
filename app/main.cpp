// zajavki: with no command, starts the program's windows; with a command, runs it without windows.
#include "app/GalleryCommand.h"
#include "app/Registration.h"
#include "core/CommandLine.h"
#include "core/PrivateFiles.h"
#include "core/RootLock.h"
#include "core/SystemText.h"
#include "data/AppContext.h"
#include "data/DbError.h"
#include "data/ServerSettings.h"
#include "service/FirstRun.h"
#include "service/FirstRunDialog.h"
#include "shell/DialogRunner.h"
#include "shell/ErrorGuard.h"
#include "shell/Icons.h"
#include "shell/MainWindow.h"
#include "shell/QtPrompter.h"
#include "shell/WindowRegistry.h"
#include "spreadsheet/DesktopOpener.h"

#include <cerrno>
#include <cstdio>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTextStream>
#include <QTranslator>

namespace {

// Without a display the windows cannot come up: say so in one line instead of Qt's long complaint.
bool haveDisplay() {
#if defined(Q_OS_LINUX)
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

void loadRussianTranslation(QApplication& app) {
    auto* qt = new QTranslator(&app);
    if (qt->load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(qt);
}

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

int runWindows(int argc, char** argv, const CommandLine& cl) {
    if (!haveDisplay()) {
        std::fputs("Нет графического дисплея (DISPLAY не задан): окна программы показать негде. "
                   "Команды без окон: zajavki --help\n",
                   stderr);
        return 1;
    }
    GuardedApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Заявки на переподготовку"));
    // The desktop entry the package installs: the desktop groups the windows under its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("ru.tovex.Zajavki"));
    QApplication::setStyle(QStringLiteral("Fusion"));
    loadRussianTranslation(app);
    icons::installApplicationIcon();

    QtPrompter prompter;
    setErrorPrompter(&prompter);
    SystemClock clock;
    AppContext context(RootPaths::resolve(cl.root), clock, prompter);
    context.serverUrl = ServerSettings::startUrl(cl.serverUrl(), context.root);
    DialogRunner dialogs;
    context.dialogs = &dialogs;
    registerAllWindows();

    // A root without a database: the user chooses how to begin, or leaves with nothing made.
    if (context.serverUrl.isEmpty() && firstrun::isNewRoot(context.root)) {
        FirstRunDialog first(context.root, clock, prompter);
        if (first.exec() != QDialog::Accepted)
            return 0;
    }
    if (!context.root.makeFolders()) {
        prompter.error(QStringLiteral("Не удалось создать папку программы %1. Проверьте права доступа к ней.")
                           .arg(shown(context.root.root())));
        return 1;
    }
    const QString narrowed = private_files::narrowRoot(context.root);
    // One program at a time works on a root.
    RootLock lock(context.root);
    if (const QString why = lock.acquire(RootLock::Mode::Exclusive, RootLock::programHolder());
        !why.isEmpty()) {
        prompter.error(why);
        return 1;
    }
    // The store is checked at every start; a damaged one may be replaced by its latest sound copy.
    if (!context.startStore())
        return 1;
    installDesktopOpener();
    MainWindow main(context);
    prompter.setParent(&main);
    // What the start did on its own, in the status bar.
    QStringList notes{narrowed, context.store->upgradeNote()};
    notes.removeAll(QString());
    if (!notes.isEmpty())
        main.reportDone(notes.join(QStringLiteral("; ")));
    main.showMaximized();
    return app.exec();
}

} // namespace

int main(int argc, char** argv) {
    private_files::restrictNewFiles();
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    registerAllCommands();
    const CommandLine cl = CommandLine::parse(arguments);
    if (cl.command.isEmpty() && cl.error.isEmpty() && !cl.help && !cl.version && !cl.manPage)
        return runWindows(argc, argv, cl);
    // The gallery draws the windows (off screen): it needs a widgets application.
    const std::unique_ptr<QCoreApplication> app = isGalleryCommand(cl.command) && !cl.help
                                                      ? makeGalleryApplication(argc, argv)
                                                      : std::make_unique<QCoreApplication>(argc, argv);
    QTextStream out(stdout), err(stderr);
    const int status = runCommand(cl, out, err);
    // What a command printed must have reached its file: a full disk or a closed pipe fails the
    // command, however well the rest went.
    out.flush();
    QString failure;
    if (out.status() != QTextStream::Ok) {
        const auto* file = qobject_cast<QFileDevice*>(out.device());
        failure = file ? fileErrorText(*file) : systemErrorText(EIO);
    } else if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        failure = systemErrorText(errno ? errno : EIO);
    }
    if (!failure.isEmpty()) {
        err << QStringLiteral("Не удалось записать вывод команды: %1.").arg(failure) << Qt::endl;
        return 1;
    }
    return status;
}
