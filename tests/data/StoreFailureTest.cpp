// Failures of the database file reach the user as Russian sentences that name the file and say
// what to do; SQLite's English texts stay out of them.
#include "data/DbError.h"
#include "data/SqliteStatement.h"
#include "data/SqliteStore.h"
#include "data/Table.h"
#include "support/TempStore.h"

#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <QDir>
#include <QFile>
#include <sqlite3.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// SQLite's own texts for the failures below; none may reach the user.
const char* const kEnglish[] = {"database is locked", "file is not a database",
                                "readonly database",  "database or disk is full",
                                "disk I/O error",     "malformed",
                                "unable to open"};

QString messageOf(const std::function<void()>& act) {
    try {
        act();
    } catch (const DbError& e) {
        return e.message();
    }
    ADD_FAILURE() << "no failure";
    return {};
}

void expectPlainRussian(const QString& message) {
    for (const char* english : kEnglish)
        EXPECT_FALSE(message.contains(QString::fromLatin1(english))) << message.toStdString();
}

void addPerson(Table& people, const QString& surname) {
    people.append();
    people.field("Name1").setAsString(surname);
    people.post();
}

TEST(StoreFailure, AFileThatIsNotADatabase) {
    TempStore temp;
    temp.store.reset();
    const QString path = temp.root.storeFile();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QByteArray("Список сотрудников на 1 января\n").repeated(200));
    file.close();
    const QString message = messageOf([&] { SqliteStore::open(path); });
    EXPECT_EQ(message, "Файл " + QDir::toNativeSeparators(path) +
                           " не является базой данных программы или повреждён так, что его нельзя прочитать. "
                           "Восстановите базу данных из резервной копии.");
    expectPlainRussian(message);
}

TEST(StoreFailure, ADatabaseAnotherProgramHoldsLocked) {
    TempStore temp;
    Table people(*temp.store, "tblPersonal", "Personal.DB");
    people.open();
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open_v2(temp.root.storeFile().toUtf8(), &other, SQLITE_OPEN_READWRITE, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    const QString message = messageOf([&] { addPerson(people, "ИВАНОВ"); });
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(message,
              "База данных " + QDir::toNativeSeparators(temp.root.storeFile()) +
                  " занята другой программой. Закройте другую программу, которая работает с этой базой (или "
                  "вторую копию этой программы), и повторите действие.");
    expectPlainRussian(message);
    // Once the other program lets go, the same row is saved.
    people.post();
    EXPECT_EQ(people.recordCount(), 1);
}

// Makes a file unwritable even for a user whom permissions do not stop (the immutable flag of
// Linux file systems), and writable again when it goes.
class Unwritable {
public:
    explicit Unwritable(const QString& path) : path_(path) {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        if (writable())
            setImmutable(true);
    }
    ~Unwritable() {
        setImmutable(false);
        QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner);
    }
    bool writable() const { return ::access(QFile::encodeName(path_).constData(), W_OK) == 0; }

private:
    void setImmutable(bool on) {
        const int fd = ::open(QFile::encodeName(path_).constData(), O_RDONLY);
        if (fd < 0)
            return;
        int flags = 0;
        if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
            ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        ::close(fd);
    }
    QString path_;
};

TEST(StoreFailure, AWriteProtectedDatabaseFile) {
    TempStore temp;
    temp.store.reset();
    const QString path = temp.root.storeFile();
    Unwritable protect(path);
    if (protect.writable())
        GTEST_SKIP() << "the file cannot be protected here; see ARefusedWriteToADatabaseOpenForReading";
    const QString message = messageOf([&] { SqliteStore::open(path); });
    EXPECT_EQ(message,
              "База данных " + QDir::toNativeSeparators(path) +
                  " доступна только для чтения, изменения не сохранены. Проверьте, что файл не защищён от "
                  "записи и что у вас есть право записи в папку " +
                  QDir::toNativeSeparators(temp.root.base()) + ".");
}

// SQLite's refusal to write a database it holds for reading only, whatever the user's rights.
TEST(StoreFailure, ARefusedWriteToADatabaseOpenForReading) {
    TempStore temp;
    Table people(*temp.store, "tblPersonal", "Personal.DB");
    people.open();
    temp.store->exec("PRAGMA query_only = ON");
    const QString message = messageOf([&] { addPerson(people, "ИВАНОВ"); });
    EXPECT_EQ(message,
              "База данных " + QDir::toNativeSeparators(temp.root.storeFile()) +
                  " доступна только для чтения, изменения не сохранены. Проверьте, что файл не защищён от "
                  "записи и что у вас есть право записи в папку " +
                  QDir::toNativeSeparators(temp.root.base()) + ".");
    expectPlainRussian(message);
}

TEST(StoreFailure, AFullDisk) {
    TempStore temp;
    Table people(*temp.store, "tblPersonal", "Personal.DB");
    people.open();
    // The file may not grow beyond what it holds now, as on a full disk.
    temp.store->exec("PRAGMA max_page_count = 1");
    QString message;
    {
        Store::Transaction transaction(*temp.store);
        message = messageOf([&] {
            for (int i = 0; i < 100000; ++i)
                addPerson(people, QString(25, QChar(u'А' + i % 32)));
        });
    }
    EXPECT_EQ(message, "На диске не хватает места для базы данных " +
                           QDir::toNativeSeparators(temp.root.storeFile()) +
                           ", изменения не сохранены. Освободите место на диске и повторите действие.");
    expectPlainRussian(message);
    EXPECT_TRUE(people.isEmpty()); // the whole action was undone
}

// The failures no test can bring about on a sound machine, by SQLite's primary code: each says what
// to do; those without a plain explanation keep SQLite's text in parentheses for support.
TEST(StoreFailure, EveryPrimaryCodeHasAPlainMessage) {
    const QString file = QStringLiteral("/home/kadry/TOVEX-Training/Base/tovex.sqlite");
    const struct {
        int code;
        const char* start;
        bool forSupport;
    } cases[] = {
        {SQLITE_CORRUPT,
         "База данных /home/kadry/TOVEX-Training/Base/tovex.sqlite повреждена. Восстановите её", false},
        {SQLITE_IOERR_WRITE, "Не удалось прочитать или записать базу данных /home/kadry/", true},
        {SQLITE_CANTOPEN,
         "Не удалось открыть базу данных /home/kadry/TOVEX-Training/Base/tovex.sqlite. Проверьте, "
         "что папка /home/kadry/TOVEX-Training/Base существует",
         false},
        {SQLITE_LOCKED_SHAREDCACHE, "База данных /home/kadry/TOVEX-Training/Base/tovex.sqlite занята", false},
        {SQLITE_BUSY_SNAPSHOT, "База данных /home/kadry/TOVEX-Training/Base/tovex.sqlite занята", false},
        {SQLITE_READONLY_DBMOVED, "База данных /home/kadry/TOVEX-Training/Base/tovex.sqlite доступна только",
         false},
        {SQLITE_FULL, "На диске не хватает места для базы данных /home/kadry/", false},
        {SQLITE_NOMEM, "Не хватает памяти для работы с базой данных /home/kadry/", false},
        {SQLITE_PERM, "Нет прав на работу с базой данных /home/kadry/", false},
        {SQLITE_CONSTRAINT, "Ошибка при работе с базой данных /home/kadry/", true},
    };
    for (const auto& c : cases) {
        const QString english = QString::fromUtf8(sqlite3_errstr(c.code));
        const QString message = sqliteFailureMessage(c.code, file, english);
        EXPECT_TRUE(message.startsWith(QString::fromUtf8(c.start))) << message.toStdString();
        EXPECT_EQ(message.contains("(для службы поддержки: " + english), c.forSupport)
            << message.toStdString();
        EXPECT_FALSE(message.contains("%")) << message.toStdString();
    }
}

} // namespace
