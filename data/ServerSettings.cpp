#include "data/ServerSettings.h"

#include "core/UserError.h"

#include <QDir>
#include <QSettings>

namespace {

QString settingsFile(const RootPaths& root) {
    return root.root() + QStringLiteral("/server.ini");
}

// A value of a libpq connection string: quoted, with its quotes and backslashes escaped, so that a
// typed value never adds a keyword of its own.
QString connValue(QString value) {
    value.replace(u'\\', QStringLiteral("\\\\")).replace(u'\'', QStringLiteral("\\'"));
    return u'\'' + value + u'\'';
}

} // namespace

ServerSettings ServerSettings::load(const RootPaths& root) {
    QSettings file(settingsFile(root), QSettings::IniFormat);
    ServerSettings s;
    s.use = file.value(QStringLiteral("server/use"), false).toBool();
    s.host = file.value(QStringLiteral("server/host")).toString();
    s.port = file.value(QStringLiteral("server/port"), 5432).toInt();
    s.database = file.value(QStringLiteral("server/database")).toString();
    s.user = file.value(QStringLiteral("server/user")).toString();
    return s;
}

void ServerSettings::save(const RootPaths& root) const {
    QSettings file(settingsFile(root), QSettings::IniFormat);
    file.setValue(QStringLiteral("server/use"), use);
    file.setValue(QStringLiteral("server/host"), host);
    file.setValue(QStringLiteral("server/port"), port);
    file.setValue(QStringLiteral("server/database"), database);
    file.setValue(QStringLiteral("server/user"), user);
    file.sync();
    if (file.status() != QSettings::NoError)
        throw UserError(
            QStringLiteral("Не удалось записать настройки сервера в файл %1. Проверьте, что у вас есть "
                           "право записи в папку программы и на диске есть место.")
                .arg(QDir::toNativeSeparators(settingsFile(root))));
}

QString ServerSettings::problem(Setting* where) const {
    const auto fault = [where](Setting setting, const QString& text) {
        if (where)
            *where = setting;
        return text;
    };
    if (!use)
        return fault(Setting::None, {});
    if (host.trimmed().isEmpty())
        return fault(Setting::Host, QStringLiteral("Укажите сервер базы данных: его имя или адрес в сети."));
    if (port < 1 || port > 65535)
        return fault(Setting::Port, QStringLiteral("Порт сервера — число от 1 до 65535 (обычно 5432)."));
    if (database.trimmed().isEmpty())
        return fault(Setting::Database,
                     QStringLiteral("Укажите базу данных на сервере (её имя сообщает администратор)."));
    return fault(Setting::None, {});
}

QString ServerSettings::url() const {
    if (!use)
        return {};
    QString url = QStringLiteral("host=%1 port=%2 dbname=%3")
                      .arg(connValue(host.trimmed()))
                      .arg(port)
                      .arg(connValue(database.trimmed()));
    if (!user.trimmed().isEmpty())
        url += QStringLiteral(" user=") + connValue(user.trimmed());
    return url;
}

QString ServerSettings::startUrl(const QString& commandLine, const RootPaths& root) {
    if (!commandLine.isEmpty())
        return commandLine;
    const ServerSettings folder = load(root);
    return folder.problem().isEmpty() ? folder.url() : QString();
}
