#include "app/GalleryCommand.h"
#include "app/Registration.h"

#include "core/CommandLine.h"
#include "core/RootLock.h"
#include "core/SafeFile.h"
#include "core/UserError.h"
#include "data/AppContext.h"
#include "data/SqliteStore.h"
#include "service/DemoRoot.h"
#include "shell/DialogRunner.h"
#include "shell/ErrorGuard.h"
#include "shell/Icons.h"
#include "shell/MainWindow.h"
#include "shell/Showcase.h"
#include "shell/StartupTables.h"
#include "shell/WindowRegistry.h"

#include <QApplication>
#include <QBuffer>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QScopeGuard>
#include <QTemporaryDir>

namespace {

// The windows are only drawn: a dialog they would open is not run.
class NoDialogs : public DialogRunner {
public:
    int run(QDialog&) override { return QDialog::Rejected; }
};

int runGallery(const CommandLine& cl, QTextStream& out, QTextStream& err) {
    const QStringList positional = cl.positional();
    if (positional.size() != 1) {
        err << QStringLiteral("Укажите папку для картинок: zajavki gallery ПАПКА [--root ПАПКА]") << Qt::endl;
        return 2;
    }
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        err << QStringLiteral("Команде gallery нужна оконная часть программы") << Qt::endl;
        return 1;
    }
    const QString target = QFileInfo(positional.first()).absoluteFilePath();
    if (!QDir().mkpath(target)) {
        err << QStringLiteral("Не удалось создать папку ") << QDir::toNativeSeparators(target) << Qt::endl;
        return 1;
    }

    // The windows are drawn on a root of their own: the demonstration data, or a copy of the
    // given root's database, so that nothing they do when opening touches the user's data.
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        err << QStringLiteral("Не удалось создать временную папку") << Qt::endl;
        return 1;
    }
    const RootPaths root(scratch.path());
    root.makeFolders();
    if (!cl.root.isEmpty()) {
        const RootPaths given = RootPaths::resolve(cl.root);
        if (!QFileInfo::exists(given.storeFile())) {
            err << QStringLiteral("В папке ") << QDir::toNativeSeparators(given.root())
                << QStringLiteral(" нет базы данных программы") << Qt::endl;
            return 1;
        }
        // Read while no command changes it.
        RootLock lock(given);
        if (const QString why = lock.acquire(RootLock::Mode::Shared, RootLock::commandHolder(cl.command));
            !why.isEmpty()) {
            err << why << Qt::endl;
            return 1;
        }
        QString copy = root.storeFile();
        copy.replace(u'\'', QStringLiteral("''"));
        // Read only: a store of an earlier version is upgraded in the copy, never in its folder.
        SqliteStore::openToRead(given.storeFile())->exec(QStringLiteral("VACUUM INTO '") + copy + u'\'');
    }
    // A question the windows would ask when opening is answered No, so nothing changes; what
    // they would say is printed.
    QString current;
    FixedPrompter prompter(Prompter::Answer::No, [&](const QString& text) {
        err << current << QStringLiteral(": ") << text << Qt::endl;
    });
    Prompter* const previousPrompter = errorPrompter();
    setErrorPrompter(&prompter);
    const auto restorePrompter = qScopeGuard([previousPrompter] { setErrorPrompter(previousPrompter); });
    SystemClock clock;
    AppContext context(root, clock, prompter);
    NoDialogs dialogs;
    context.dialogs = &dialogs;
    context.openStore();
    if (cl.root.isEmpty())
        demo::fill(*context.store, clock.today());
    context.state.CurYear = quint16(clock.today().year());
    context.createDataModule();
    current = QStringLiteral("start-up");
    openStartupTables(
        *context.DM, [](const StartupTable&) {},
        [&](const StartupTable& t, const QString& why) {
            err << t.error << QStringLiteral(": ") << why << Qt::endl;
        });

    registerAllWindows();
    MainWindow main(context);
    main.skipStartUp();
    int failed = 0;
    for (const windows::Showcase& showcase : windows::showcases()) {
        current = showcase.name();
        const QString file = QDir(target).filePath(showcase.name() + QStringLiteral(".png"));
        // A window that cannot be made or a picture that cannot be written is reported; the
        // others are drawn all the same.
        try {
            std::unique_ptr<QWidget> window = windows::openShowcase(showcase, main);
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            windows::picture(*window).save(&buffer, "PNG");
            window.reset();
            writeFileAtomically(file, png);
            out << QDir::toNativeSeparators(file) << Qt::endl;
        } catch (const UserError& e) {
            err << current << QStringLiteral(": ") << e.message() << Qt::endl;
            ++failed;
        }
        QApplication::processEvents();
    }
    return failed == 0 ? 0 : 1;
}

} // namespace

std::unique_ptr<QCoreApplication> makeGalleryApplication(int& argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform notes for every window that it has no window manager to tell
    // sizes to; that is what is wanted here, so the note is dropped.
    static const QtMessageHandler previous = qInstallMessageHandler(nullptr);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (!message.startsWith(QLatin1String("This plugin does not support propagateSizeHints")))
            previous(type, context, message);
    });
    auto app = std::make_unique<GuardedApplication>(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Заявки на переподготовку"));
    QApplication::setStyle(QStringLiteral("Fusion"));
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    icons::installApplicationIcon();
    return app;
}

void registerGalleryCommand() {
    registerCommand(QStringLiteral("gallery"), runGallery,
                    {QStringLiteral("рисует каждое окно программы на демонстрационных данных в файлы PNG"),
                     QStringLiteral("ПАПКА"),
                     {}});
}
