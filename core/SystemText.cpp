#include "core/SystemText.h"

#include "core/UserError.h"

#include <cerrno>
#include <cstring>
#include <new>
#include <QHash>

QString systemErrorText(int errnum) {
    static const QHash<int, QString> texts{
        {EPERM, QStringLiteral("операция не разрешена")},
        {ENOENT, QStringLiteral("нет такого файла или папки")},
        {EIO, QStringLiteral("ошибка чтения или записи: диск неисправен или недоступен")},
        {ENXIO, QStringLiteral("устройство недоступно")},
        {E2BIG, QStringLiteral("слишком длинный список аргументов")},
        {EBADF, QStringLiteral("файл не открыт")},
        {EAGAIN, QStringLiteral("ресурс временно недоступен")},
        {ENOMEM, QStringLiteral("не хватило памяти")},
        {EACCES, QStringLiteral("нет прав доступа")},
        {EBUSY, QStringLiteral("файл или устройство заняты")},
        {EEXIST, QStringLiteral("файл уже существует")},
        {EXDEV, QStringLiteral("файл нельзя перенести на другой диск")},
        {ENODEV, QStringLiteral("нет такого устройства")},
        {ENOTDIR, QStringLiteral("часть пути — не папка")},
        {EISDIR, QStringLiteral("это папка, а не файл")},
        {EINVAL, QStringLiteral("недопустимое значение")},
        {ENFILE, QStringLiteral("в системе открыто слишком много файлов")},
        {EMFILE, QStringLiteral("открыто слишком много файлов")},
        {ETXTBSY, QStringLiteral("файл занят")},
        {EFBIG, QStringLiteral("файл слишком велик")},
        {ENOSPC, QStringLiteral("на диске нет места")},
        {ESPIPE, QStringLiteral("в файле нельзя перейти к нужному месту")},
        {EROFS, QStringLiteral("диск открыт только для чтения")},
        {EMLINK, QStringLiteral("слишком много ссылок")},
        {EPIPE, QStringLiteral("вывод закрыт принимающей стороной")},
        {ENAMETOOLONG, QStringLiteral("слишком длинное имя файла")},
        {ENOTEMPTY, QStringLiteral("папка не пуста")},
        {ELOOP, QStringLiteral("слишком много ссылок в пути")},
        {EDQUOT, QStringLiteral("превышена квота диска")},
        {ESTALE, QStringLiteral("сетевой файл больше недоступен")},
        {ETIMEDOUT, QStringLiteral("время ожидания истекло")},
        {ECONNREFUSED, QStringLiteral("в соединении отказано")},
        {EHOSTUNREACH, QStringLiteral("компьютер недоступен")},
        {ENOLCK, QStringLiteral("блокировки недоступны")},
        {ENOSYS, QStringLiteral("операция не поддерживается")},
        {EOPNOTSUPP, QStringLiteral("операция не поддерживается")},
        {EINTR, QStringLiteral("операция прервана")},
    };
    const auto it = texts.constFind(errnum);
    if (it != texts.constEnd())
        return *it;
    return QStringLiteral("системная ошибка %1").arg(errnum);
}

QString russianSystemText(const QString& text) {
    // The system's English texts, longest first, so that one that holds another is put first.
    static const QList<std::pair<QString, int>> english = [] {
        QList<std::pair<QString, int>> list;
        for (int e = 1; e < 134; ++e) {
            const QString s = QString::fromLocal8Bit(std::strerror(e));
            if (!s.startsWith(QStringLiteral("Unknown error")))
                list.append({s, e});
        }
        std::sort(list.begin(), list.end(),
                  [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
        return list;
    }();
    QString result = text;
    for (const auto& [words, errnum] : english)
        if (result.contains(words, Qt::CaseInsensitive))
            result.replace(words, systemErrorText(errnum), Qt::CaseInsensitive);
    if (result.compare(QStringLiteral("Unknown error"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("неизвестная ошибка");
    return result;
}

QString exceptionText(const std::exception& e) {
    if (const auto* user = dynamic_cast<const UserError*>(&e))
        return user->message();
    if (dynamic_cast<const std::bad_alloc*>(&e))
        return QStringLiteral(
            "Не хватило памяти для этого действия. Закройте другие программы и повторите его.");
    return QStringLiteral("Внутренняя ошибка программы: %1. Сообщите о ней в службу поддержки.")
        .arg(russianSystemText(QString::fromUtf8(e.what())));
}
