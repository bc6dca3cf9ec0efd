// Failures of the system reach the clerk in Russian: error numbers, the system's English texts
// wherever they stand in a message, exceptions that are no UserError; a NUL in a message is shown.
#include "core/SystemText.h"
#include "core/UserError.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <new>
#include <QFile>

namespace {

TEST(SystemText, SaysTheSystemsFailuresInRussian) {
    struct Case {
        QString english, russian;
    };
    const Case cases[] = {
        {"No such file or directory", "нет такого файла или папки"},
        {"No space left on device", "на диске нет места"},
        {"Write error: No space left on device", "Write error: на диске нет места"},
        {"Permission denied", "нет прав доступа"},
        {"Read-only file system", "диск открыт только для чтения"},
        {"File too large", "файл слишком велик"},
        {"Unknown error", "неизвестная ошибка"},
        {"уже по-русски", "уже по-русски"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(russianSystemText(c.english), c.russian) << c.english.toStdString();
    for (int e : {ENOENT, ENOSPC, EACCES, EROFS, EIO, EDQUOT})
        EXPECT_EQ(russianSystemText(QString::fromLocal8Bit(std::strerror(e))), systemErrorText(e));
    EXPECT_EQ(systemErrorText(9999), "системная ошибка 9999");
}

TEST(SystemText, AFileThatCannotBeOpenedIsToldInRussian) {
    QFile file("/nonexistent-folder/file.txt");
    ASSERT_FALSE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(fileErrorText(file), "нет такого файла или папки");
}

TEST(SystemText, AnExceptionThatIsNoUserErrorIsASentence) {
    EXPECT_EQ(exceptionText(UserError("Файл занят")), "Файл занят");
    EXPECT_EQ(exceptionText(std::bad_alloc()),
              "Не хватило памяти для этого действия. Закройте другие программы и повторите его.");
    EXPECT_EQ(
        exceptionText(std::runtime_error("database or disk is full: No space left on device")),
        "Внутренняя ошибка программы: database or disk is full: на диске нет места. Сообщите о ней в службу "
        "поддержки.");
}

TEST(SystemText, ANulInANameDoesNotCutTheMessage) {
    const UserError e(QStringLiteral("Таблица «А") + QChar(u'\0') + QStringLiteral("Б» повреждена"));
    EXPECT_EQ(e.message(), "Таблица «А\\0Б» повреждена");
    EXPECT_EQ(QString::fromUtf8(e.what()), e.message());
}

} // namespace
