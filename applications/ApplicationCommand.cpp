#include "applications/ApplicationCommand.h"

#include "applications/ApplicationRules.h"
#include "data/DbError.h"
#include "data/ServerSettings.h"
#include "shell/StartupTables.h"

#include <QDir>
#include <QFileInfo>

ApplicationCommand::ApplicationCommand(const CommandLine& cl, QTextStream& err, const QString& usage,
                                       std::function<QString(const QString&)> targetOf)
    : cl_(cl), err_(err), usage_(usage), targetOf_(std::move(targetOf)),
      prompter_(Prompter::Answer::No, [&err](const QString& text) { err << text << Qt::endl; }) {}

int ApplicationCommand::prepare() {
    const QStringList args = cl_.positional();
    if (args.size() != 3) {
        err_ << usage_ << Qt::endl;
        return 2;
    }
    bool numberOk = false, yearOk = false;
    const double number = QString(args[0]).replace(u',', u'.').toDouble(&numberOk);
    const int year = args[1].toInt(&yearOk);
    if (!numberOk || !yearOk) {
        err_ << QStringLiteral("Неверный номер заявки или год: %1 %2").arg(args[0], args[1]) << Qt::endl;
        return 2;
    }
    target_ = targetOf_ ? targetOf_(args[2]) : args[2];
    const RootPaths root = RootPaths::resolve(cl_.root);
    // Nothing is ever written over the database, its copies or any database, --force or not.
    if (const QString why = root.writeRefusal(target_); !why.isEmpty()) {
        err_ << why << Qt::endl;
        return 1;
    }
    if (QFileInfo::exists(target_) && !cl_.hasFlag(QStringLiteral("--force"))) {
        err_ << QStringLiteral("Файл %1 уже есть; чтобы заменить его, укажите --force")
                    .arg(QDir::toNativeSeparators(target_))
             << Qt::endl;
        return 1;
    }
    app_ = std::make_unique<AppContext>(root, clock_, prompter_);
    app_->serverUrl = ServerSettings::startUrl(cl_.serverUrl(), app_->root);
    // These commands only read the office's data: a root without a database is an error, not a
    // reason to make one.
    if (QString why; !app_->hasStore(&why)) {
        err_ << why << Qt::endl;
        return 1;
    }
    app_->openStore();
    app_->state.CurYear = quint16(clock_.today().year());
    DataModule& dm = app_->createDataModule();
    openStartupTables(
        dm, [](const StartupTable&) {}, [](const StartupTable&, const QString& why) { throw DbError(why); });
    if (!applications::locateApplication(dm, Generation::current(), number, year)) {
        err_ << QStringLiteral("Заявки %1 на %2 год нет").arg(args[0], QString::number(year)) << Qt::endl;
        return 1;
    }
    return 0;
}
