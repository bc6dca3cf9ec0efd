// Copies of the store: taken through SQLite's online backup while the store is held exclusively,
// named by time and action, pruned to the last twenty and one a month; a copy restored with every
// table opened again; a damaged store found at start and replaced by its latest sound copy; the
// commands that take and restore copies.
#include "data/Backups.h"
#include "app/Registration.h"
#include "core/CommandLine.h"
#include "data/AppContext.h"
#include "data/DataModule.h"
#include "data/DbError.h"
#include "data/paradox/ParadoxWriter.h"
#include "data/SqliteStore.h"
#include "shell/StartupTables.h"
#include "support/ChildProcess.h"
#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

using Answer = Prompter::Answer;

struct BackupsFixture : ::testing::Test {
    QTemporaryDir dir;
    RootPaths root{dir.path()};
    QDateTime now{QDate(2027, 3, 15), QTime(10, 30, 0, 123)};
    std::unique_ptr<Store> store;

    void SetUp() override {
        root.makeFolders();
        store = SqliteStore::open(root.storeFile(), SqliteStore::Access::Exclusive);
    }
    Backups backups() {
        return Backups(root.backups(), store.get(), [this] { return now; });
    }
    void addPerson(Store& s, const QString& surname) {
        auto st = s.cached("INSERT INTO Personal (Name1) VALUES (?)");
        st->bind(1, surname);
        st->step();
    }
    static QStringList surnames(const QString& file) {
        auto copy = SqliteStore::open(file);
        auto st = copy->cached("SELECT Name1 FROM Personal ORDER BY NPP");
        QStringList names;
        while (st->step())
            names << st->rawValue(0).toString();
        return names;
    }
    QStringList actions() {
        QStringList list;
        for (const BackupCopy& c : backups().list())
            list << c.action;
        return list;
    }
};

TEST_F(BackupsFixture, TakesACopyNamedByTimeAndActionWhileTheStoreIsHeldExclusively) {
    addPerson(*store, "ДО");
    const QString first = backups().before(backup_action::kImport);
    EXPECT_EQ(QFileInfo(first).fileName(), "tovex_2027-03-15_10-30-00-123_import.sqlite");
    addPerson(*store, "ЕЩЁ"); // a copy equal to the one before would stand for it
    const QString second = backups().before(backup_action::kImport); // within the same millisecond
    EXPECT_EQ(QFileInfo(second).fileName(), "tovex_2027-03-15_10-30-00-124_import.sqlite");
    addPerson(*store, "ПОСЛЕ");

    const QList<BackupCopy> copies = backups().list();
    ASSERT_EQ(copies.size(), 2);
    EXPECT_EQ(copies[0].path, second) << "the newest first";
    EXPECT_EQ(copies[0].actionText(), "загрузка таблиц");
    EXPECT_EQ(copies[0].when, now.addMSecs(1));
    EXPECT_GT(copies[0].size, 0);
    EXPECT_FALSE(QFileInfo::exists(first + "-wal")) << "a copy is a single file";
    EXPECT_EQ(SqliteStore::checkFile(first), "");
    store.reset();
    EXPECT_EQ(surnames(first), QStringList{"ДО"});
    EXPECT_EQ(surnames(root.storeFile()), (QStringList{"ДО", "ЕЩЁ", "ПОСЛЕ"}));
}

TEST_F(BackupsFixture, TakesTheDaysFirstCopyOnce) {
    EXPECT_FALSE(backups().dailyIfDue().isEmpty());
    now = now.addSecs(3600);
    EXPECT_TRUE(backups().dailyIfDue().isEmpty()) << "the same day";
    now = now.addDays(1);
    addPerson(*store, "НАЗАВТРА"); // a copy equal to the day before's would stand for it
    EXPECT_FALSE(backups().dailyIfDue().isEmpty());
    EXPECT_EQ(actions(), (QStringList{"daily", "daily"}));
}

TEST_F(BackupsFixture, KeepsTheLastTwentyAndTheNewestOfEachMonthForAYear) {
    // One real copy, laid under many names, each made different from the others in the header's
    // reserved bytes: two a month from December 2025 to February 2027 and 22 in March 2027; a
    // damaged store moved aside, the newest of January 2027; and files that are no copies.
    QDir().mkpath(root.backups());
    const QString model = QDir(root.backups()).filePath("model.bin");
    store->backupTo(model);
    QFile modelFile(model);
    ASSERT_TRUE(modelFile.open(QIODevice::ReadOnly));
    const QByteArray bytes = modelFile.readAll();
    modelFile.close();
    int laid = 0;
    auto layAs = [&](const QString& name) {
        QByteArray copy = bytes;
        copy.replace(72, 4, QByteArray::number(++laid).rightJustified(4, '0'));
        QFile file(QDir(root.backups()).filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(copy);
        return name;
    };
    auto lay = [&](const QDateTime& when) {
        return layAs("tovex_" + when.toString("yyyy-MM-dd_HH-mm-ss-zzz") + "_manual.sqlite");
    };
    QStringList expected;
    for (QDate month(2025, 12, 1); month < QDate(2027, 3, 1); month = month.addMonths(1)) {
        lay(QDateTime(month.addDays(4), QTime(9, 0)));
        const QString newest = lay(QDateTime(month.addDays(19), QTime(9, 0)));
        if (month >= QDate(2026, 4, 1) && month != QDate(2027, 1, 1)) // within a year of 31 March 2027
            expected << newest;
    }
    expected << layAs("damaged-2027-01-25_00-00-00-000.sqlite");
    for (int day = 1; day <= 22; ++day) {
        const QString name = lay(QDateTime(QDate(2027, 3, day), QTime(8, 0)));
        if (day >= 3)
            expected << name;
    }
    QFile::remove(model);
    QFile notes(QDir(root.backups()).filePath("notes.txt"));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.close();

    now = QDateTime(QDate(2027, 3, 31), QTime(12, 0));
    const QStringList removed = backups().prune();
    EXPECT_EQ(removed.size(), 30 + 22 + 1 - int(expected.size()));
    QStringList kept = QDir(root.backups()).entryList({"tovex_*", "damaged-*"}, QDir::Files, QDir::Name);
    expected.sort();
    kept.sort();
    EXPECT_EQ(kept, expected);
    EXPECT_EQ(kept.size(), 20 + 11);
    EXPECT_TRUE(QFileInfo::exists(QDir(root.backups()).filePath("notes.txt")));
    EXPECT_EQ(backups().list().size(), 20 + 11) << "the damaged store is listed among the copies";
}

// Work refused after its copy was taken, again and again, must not push the history out: a copy
// equal to the one before it goes (unless it is the newest), and takes no place among the latest.
TEST_F(BackupsFixture, CopiesEqualToTheNextNewerOneTakeNoPlaceAmongTheLatest) {
    for (int day = 1; day <= 5; ++day) {
        now = QDateTime(QDate(2027, 3, day), QTime(9, 0));
        addPerson(*store, QString("ДЕНЬ %1").arg(day));
        backups().before(backup_action::kDaily);
    }
    now = QDateTime(QDate(2027, 3, 10), QTime(9, 0));
    QString newest;
    for (int refused = 0; refused < Backups::kKeepLatest; ++refused)
        newest = backups().before(backup_action::kImport);

    const QList<BackupCopy> copies = backups().list();
    ASSERT_EQ(copies.size(), 6) << "the newest and the day's copy it equals";
    EXPECT_EQ(copies[0].path, newest);
    for (int day = 1; day <= 5; ++day)
        EXPECT_EQ(copies[6 - day].when.date(), QDate(2027, 3, day)) << "every earlier copy is kept";
    store.reset();
    EXPECT_EQ(surnames(newest).size(), 5);
}

// A restore from a damaged or interrupted moment leaves files behind; the next start clears them,
// keeping a damaged store among the copies.
TEST_F(BackupsFixture, TheStartRemovesWhatInterruptedWorkLeftAndKeepsADamagedStore) {
    store.reset();
    QDir().mkpath(root.backups());
    const QStringList leftovers{
        root.backups() + "/tovex_2027-03-15_10-30-00-123_import.sqlite.part",
        root.storeFile() + ".restore",
        root.storeFile() + ".restore.part",
        root.storeFile() + ".new",
        root.storeFile() + ".new-journal",
        root.storeFile() + ".first",
    };
    const QString damaged = root.backups() + "/damaged-2027-03-01_08-00-00-000.sqlite";
    for (const QString& path : leftovers + QStringList{damaged}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
    }
    FixedClock clock{QDate(2027, 3, 15)};
    FixedPrompter prompter(Answer::No);
    AppContext app(root, clock, prompter);
    ASSERT_TRUE(app.startStore());
    for (const QString& path : leftovers)
        EXPECT_FALSE(QFileInfo::exists(path)) << path.toStdString();
    EXPECT_TRUE(QFileInfo::exists(damaged));
    QStringList listed;
    for (const BackupCopy& copy : app.backups().list())
        listed << copy.action;
    EXPECT_EQ(listed, (QStringList{"daily", "damaged"}));
}

struct RestoreFixture : BackupsFixture {
    SharedState state;
    ScriptedPrompter prompter;
    std::unique_ptr<DataModule> dm;

    void SetUp() override {
        BackupsFixture::SetUp();
        dm = std::make_unique<DataModule>(*store, state, prompter);
        openStartupTables(
            *dm, [](const StartupTable&) {},
            [](const StartupTable&, const QString& why) { ADD_FAILURE() << why.toStdString(); });
    }
    void append(const QString& surname) {
        dm->tblPersonal->append();
        dm->field("tblPersonalName1").setAsString(surname);
        dm->tblPersonal->post();
    }
};

TEST_F(RestoreFixture, PutsTheCopyInPlaceAndOpensEveryTableAgain) {
    append("ДО");
    dm->tblSertif->append();
    dm->field("tblSertifName").setAsString("Терапия");
    dm->tblSertif->post();
    const QString copy = backups().before(backup_action::kCatalogue);
    append("ПОСЛЕ");
    QStringList openBefore;
    for (Dataset* ds : dm->datasets())
        if (ds->isActive())
            openBefore << ds->objectName();

    now = now.addSecs(60);
    const QString before = backups().restore(copy, dm.get());

    QStringList openAfter;
    for (Dataset* ds : dm->datasets())
        if (ds->isActive())
            openAfter << ds->objectName();
    EXPECT_EQ(openAfter, openBefore);
    ASSERT_EQ(dm->tblPersonal->recordCount(), 1);
    dm->tblPersonal->first();
    EXPECT_EQ(dm->field("tblPersonalName1").asString(), "ДО");
    EXPECT_EQ(dm->tblSertif->recordCount(), 1) << "the detail follows its master on the new file";
    append("ЕЩЁ"); // the tables write to the new file
    EXPECT_EQ(dm->tblPersonal->recordCount(), 2);
    EXPECT_EQ(actions(), (QStringList{"restore", "catalogue"}));
    EXPECT_TRUE(before.endsWith("_restore.sqlite"));

    dm.reset();
    store.reset();
    EXPECT_EQ(surnames(before), (QStringList{"ДО", "ПОСЛЕ"})) << "the store as it was";
    EXPECT_EQ(surnames(root.storeFile()), (QStringList{"ДО", "ЕЩЁ"}));
}

TEST_F(RestoreFixture, RefusesAFileThatIsNoSoundCopy) {
    append("ДО");
    QDir().mkpath(root.backups());
    const QString garbage = QDir(root.backups()).filePath("tovex_2027-01-01_00-00-00-000_manual.sqlite");
    QFile f(garbage);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(8192, 'x'));
    f.close();
    try {
        backups().restore(garbage, dm.get());
        FAIL() << "a file that is no database is refused";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().startsWith("Эту копию нельзя восстановить. Файл "))
            << e.message().toStdString();
    }
    EXPECT_EQ(actions(), QStringList{"manual"}) << "no copy of the store is taken for a refused one";
    EXPECT_TRUE(dm->tblPersonal->isActive());
    EXPECT_EQ(dm->tblPersonal->recordCount(), 1);
}

// What the start shows, with every question answered as `answer`: the questions' texts are not
// known in advance (they quote SQLite's findings).
class RecordingPrompter : public FixedPrompter {
public:
    explicit RecordingPrompter(Answer answer)
        : FixedPrompter(answer, [this](const QString& text) { shown << "message: " + text; }),
          answer_(answer) {}
    Answer ask(const QString& caption, const QString& text, Icon, Buttons buttons) override {
        shown << "ask: " + caption + " | " + text;
        lastButtons = buttons;
        return answer_;
    }
    QStringList shown;
    Buttons lastButtons = Buttons::Ok;

private:
    Answer answer_;
};

// The program's start on a store that SQLite's check finds damaged.
struct StartFixture : ::testing::Test {
    QTemporaryDir dir;
    FixedClock clock{QDate(2027, 3, 15)};
    RecordingPrompter prompter{Answer::Yes};
    std::unique_ptr<AppContext> app;

    void SetUp() override { app = std::make_unique<AppContext>(RootPaths(dir.path()), clock, prompter); }
    void addPerson(const QString& surname) {
        auto st = app->store->cached("INSERT INTO Personal (Name1) VALUES (?)");
        st->bind(1, surname);
        st->step();
    }
    // Overwrites the bytes of the store file from `offset`.
    void damage(qint64 offset, int length) {
        QFile f(app->root.storeFile());
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(offset);
        f.write(QByteArray(length, '\xA5'));
    }
    qint64 personalPage() {
        auto st = app->store->cached("SELECT rootpage FROM sqlite_master WHERE name = 'Personal'");
        st->step();
        return st->int64(0);
    }
    int people() {
        auto st = app->store->cached("SELECT COUNT(*) FROM Personal");
        st->step();
        return int(st->int64(0));
    }
};

TEST_F(StartFixture, ASoundStoreGetsTheDaysCopyAndNoQuestion) {
    ASSERT_TRUE(app->startStore());
    ASSERT_EQ(app->backups().list().size(), 1);
    EXPECT_EQ(app->backups().list()[0].action, "daily");
    app->store.reset();
    ASSERT_TRUE(app->startStore());
    EXPECT_EQ(app->backups().list().size(), 1) << "one a day";
    EXPECT_EQ(prompter.shown, QStringList{});
}

TEST_F(StartFixture, ADamagedStoreIsReplacedByItsLatestSoundCopyWhenTheUserAgrees) {
    ASSERT_TRUE(app->startStore()); // the day's copy holds no one
    addPerson("ИВАНОВ");
    app->backups().before(backup_action::kImport); // the latest sound copy holds ИВАНОВ
    const QString when = app->backups().list()[0].when.toString("dd.MM.yyyy HH:mm");
    addPerson("ПЕТРОВ");
    const qint64 page = personalPage();
    app->store.reset();
    damage((page - 1) * 4096, 4096);

    clock.set(QDate(2027, 3, 16));
    ASSERT_TRUE(app->startStore());
    ASSERT_EQ(prompter.shown.size(), 2) << prompter.shown.join("\n").toStdString();
    EXPECT_TRUE(prompter.shown[0].startsWith("ask: Заявки на переподготовку | База данных "))
        << prompter.shown[0].toStdString();
    EXPECT_TRUE(prompter.shown[0].contains(" повреждена: ")) << prompter.shown[0].toStdString();
    EXPECT_TRUE(
        prompter.shown[0].endsWith("Восстановить последнюю исправную резервную копию от " + when +
                                   " (сделана перед действием «загрузка таблиц»)? Повреждённая база будет "
                                   "перенесена в папку " +
                                   QDir::toNativeSeparators(app->root.backups()) + "."))
        << prompter.shown[0].toStdString();
    EXPECT_EQ(prompter.lastButtons, Prompter::Buttons::YesNoDefaultNo) << "Enter keeps the store where it is";
    EXPECT_EQ(prompter.shown[1], "message: База данных восстановлена из резервной копии от " + when + ".");
    EXPECT_EQ(people(), 1);
    EXPECT_EQ(app->store->quickCheck(), "");
    EXPECT_EQ(QDir(app->root.backups()).entryList({"damaged-*.sqlite"}).size(), 1)
        << "the damaged file is kept";
}

TEST_F(StartFixture, ADeclinedRestoreWorksOnTheStoreAsItIsAndTakesNoCopyOfIt) {
    ASSERT_TRUE(app->startStore());
    const qint64 page = personalPage();
    app->store.reset();
    damage((page - 1) * 4096, 4096);
    RecordingPrompter no(Answer::No);
    AppContext declined(RootPaths(dir.path()), clock, no);
    clock.set(QDate(2027, 3, 16));
    ASSERT_TRUE(declined.startStore());
    ASSERT_EQ(no.shown.size(), 1);
    EXPECT_TRUE(no.shown[0].startsWith("ask: "));
    EXPECT_NE(declined.store->quickCheck(), "");
    EXPECT_EQ(declined.backups().list().size(), 1) << "no day's copy of a damaged store";
}

TEST_F(StartFixture, AStoreThatIsNoDatabaseWithoutACopyIsReportedAndTheProgramStops) {
    ASSERT_TRUE(app->startStore());
    app->store.reset();
    QDir(app->root.backups()).removeRecursively();
    damage(0, 100);
    EXPECT_FALSE(app->startStore());
    EXPECT_FALSE(app->store);
    ASSERT_EQ(prompter.shown.size(), 2) << prompter.shown.join("\n").toStdString();
    EXPECT_TRUE(prompter.shown[0].contains("повреждена")) << prompter.shown[0].toStdString();
    EXPECT_TRUE(prompter.shown[0].contains("Исправной резервной копии в папке"))
        << prompter.shown[0].toStdString();
}

// Busy is never damaged: a store another connection holds is reported as busy, with no question,
// and stays where it is.
TEST_F(StartFixture, ABusyStoreIsToldAsSuchAndNeverMoved) {
    ASSERT_TRUE(app->startStore());
    addPerson("ИВАНОВ");
    app->backups().before(backup_action::kManual); // a sound copy that could be offered
    app->store.reset();
    const QStringList copiesBefore = QDir(app->root.backups()).entryList(QDir::Files);
    {
        auto holder = SqliteStore::open(app->root.storeFile(), SqliteStore::Access::Exclusive);
        holder->exec("BEGIN IMMEDIATE");
        EXPECT_FALSE(app->startStore());
        holder->exec("ROLLBACK");
    }
    ASSERT_EQ(prompter.shown.size(), 1) << prompter.shown.join("\n").toStdString();
    EXPECT_TRUE(prompter.shown[0].startsWith("message: База данных ")) << prompter.shown[0].toStdString();
    EXPECT_TRUE(prompter.shown[0].contains("занята другой программой")) << prompter.shown[0].toStdString();
    EXPECT_EQ(QDir(app->root.backups()).entryList(QDir::Files), copiesBefore) << "nothing moved or added";
    ASSERT_TRUE(app->startStore());
    EXPECT_EQ(people(), 1);
}

// A write-protected store, as a user whom the protection binds: told as such at start and by
// restore-backup, and never moved aside for a damaged one.
TEST_F(StartFixture, AWriteProtectedStoreIsToldAsSuchAndNeverMoved) {
    ASSERT_TRUE(app->startStore());
    addPerson("ИВАНОВ");
    const QString copy = app->backups().before(backup_action::kManual);
    app->store.reset();
    registerBackupCommands();
    // The child, another user, must reach the folders; the store itself is for reading alone.
    for (const QString& folder : {dir.path(), app->root.base(), app->root.backups()})
        QFile::setPermissions(folder, QFile::Permissions(0x7777));
    QFile::remove(app->root.base() + "/zajavki.lock");
    QFile::setPermissions(app->root.storeFile(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);

    const auto atStart = testsupport::runUnprivileged([this](int pipe) {
        RecordingPrompter seen(Answer::Yes);
        AppContext other(RootPaths(dir.path()), clock, seen);
        const bool started = other.startStore();
        testsupport::Child::say(pipe, seen.shown.join(" / "));
        return started ? 0 : 1;
    });
    EXPECT_EQ(atStart.status, 1) << atStart.text.toStdString();
    EXPECT_TRUE(atStart.text.startsWith("message: База данных ")) << atStart.text.toStdString();
    EXPECT_TRUE(atStart.text.contains("доступна только для чтения")) << atStart.text.toStdString();

    const auto restored = testsupport::runUnprivileged([&](int pipe) {
        QString out, err;
        QTextStream o(&out), e(&err);
        const int status =
            runCommand(CommandLine::parse({"restore-backup", copy, "--root", dir.path()}), o, e);
        testsupport::Child::say(pipe, err.trimmed());
        return status;
    });
    EXPECT_EQ(restored.status, 1) << restored.text.toStdString();
    EXPECT_TRUE(restored.text.contains("доступна только для чтения")) << restored.text.toStdString();

    EXPECT_TRUE(QFileInfo::exists(app->root.storeFile()));
    EXPECT_TRUE(QDir(app->root.backups()).entryList({"damaged-*"}).isEmpty()) << "nothing moved aside";
    QFile::setPermissions(app->root.storeFile(), QFile::ReadOwner | QFile::WriteOwner);
    ASSERT_TRUE(app->startStore());
    EXPECT_EQ(people(), 1);
}

// The import command and the two backup commands.
struct Commands : BackupsFixture {
    QString out, err;
    int run(const QStringList& args) {
        static const bool registered = [] {
            registerShellCommands();
            registerBackupCommands();
            return true;
        }();
        (void)registered;
        out.clear();
        err.clear();
        QTextStream o(&out), e(&err);
        return runCommand(CommandLine::parse(args + QStringList{"--root", root.root()}), o, e);
    }
};

TEST_F(Commands, ImportTakesACopyFirstAndTheBackupCommandsTakeAndRestoreOne) {
    addPerson(*store, "ДО");
    store.reset();
    QTemporaryDir other;
    const QString notATable = QDir(other.path()).filePath("notes.txt");
    QFile(notATable).open(QIODevice::WriteOnly);
    const QString positions = QDir(other.path()).filePath("DOLJNOST.DB");
    writeParadoxTable(positions, *layouts::find("DOLJNOST"), {{1, "ВРАЧ"}});
    EXPECT_EQ(run({"import", positions}), 0) << err.toStdString();
    QList<BackupCopy> copies = Backups(root.backups(), nullptr, {}).list();
    ASSERT_EQ(copies.size(), 1);
    EXPECT_EQ(copies[0].action, "import");

    EXPECT_EQ(run({"backup"}), 0) << err.toStdString();
    EXPECT_TRUE(out.startsWith("Резервная копия: ")) << out.toStdString();
    const QString copy = out.mid(QString("Резервная копия: ").size()).trimmed();
    EXPECT_TRUE(QFileInfo::exists(copy));

    store = SqliteStore::open(root.storeFile());
    addPerson(*store, "ПОСЛЕ");
    store.reset();
    EXPECT_EQ(run({"restore-backup", copy}), 0) << err.toStdString();
    EXPECT_EQ(surnames(root.storeFile()), QStringList{"ДО"});
    copies = Backups(root.backups(), nullptr, {}).list();
    ASSERT_EQ(copies.size(), 3);
    EXPECT_EQ(copies[0].action, "restore");
    EXPECT_EQ(surnames(copies[0].path), (QStringList{"ДО", "ПОСЛЕ"}));

    EXPECT_EQ(run({"restore-backup", notATable}), 1);
    EXPECT_TRUE(err.startsWith("Эту копию нельзя восстановить.")) << err.toStdString();
    EXPECT_EQ(run({"restore-backup"}), 2);
}

// Refused imports, one after another, beside the month's dated copies: each refused before it
// wrote anything leaves no copy, and every earlier copy stays.
TEST_F(Commands, RefusedImportsLeaveTheCopiesAsTheyWere) {
    for (int day = 1; day <= 3; ++day) {
        now = QDateTime(QDate(2026, 11, day), QTime(9, 0));
        addPerson(*store, QString("ДЕНЬ %1").arg(day));
        backups().before(backup_action::kDaily);
    }
    store.reset();
    const QStringList before = QDir(root.backups()).entryList(QDir::Files);
    QTemporaryDir other;
    const QString broken = QDir(other.path()).filePath("DOLJNOST.DB");
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(100, '\x01'));
    file.close();
    for (int refused = 0; refused < Backups::kKeepLatest; ++refused) {
        ASSERT_EQ(run({"import", broken}), 1);
        EXPECT_FALSE(err.isEmpty());
    }
    EXPECT_EQ(QDir(root.backups()).entryList(QDir::Files), before);
    EXPECT_EQ(surnames(root.storeFile()).size(), 3);
}

// A copy is taken in only when its whole schema is the program's: each hostile copy is refused
// with the reason in a clerk's words, by the command and by the copies' restore, is never offered
// as the latest sound copy, and the store stays as it was. A copy of an earlier build, which
// carries no mark, is taken.
TEST_F(Commands, ACopyIsTakenInOnlyWithTheProgramsWholeSchema) {
    addPerson(*store, "ДО");
    const QString model = backups().before(backup_action::kManual);
    addPerson(*store, "ПОСЛЕ");
    store.reset();
    struct Case {
        const char* name;
        QString sql;
        QString refusal;
    };
    const Case cases[] = {
        {"extra column", "ALTER TABLE Personal ADD COLUMN Extra TEXT", "в ней лишнее поле №"},
        {"missing column",
         "DROP TRIGGER zajavki_log_peremail_insert; DROP TRIGGER zajavki_log_peremail_update; "
         "DROP TRIGGER zajavki_log_peremail_delete; ALTER TABLE PEREMAIL DROP COLUMN EMAIL",
         "в ней нет поля"},
        {"column of another type", "DROP TABLE LPUDETAILS; CREATE TABLE LPUDETAILS (NPP BLOB)",
         "устроена иначе"},
        {"trigger", "CREATE TRIGGER wipe AFTER INSERT ON Sluch2023 BEGIN DELETE FROM Personal; END",
         "копия содержит чужие команды (триггер «wipe»)"},
        {"a change log trigger of its own",
         "DROP TRIGGER zajavki_log_personal_delete; CREATE TRIGGER zajavki_log_personal_delete AFTER DELETE "
         "ON "
         "Personal BEGIN DELETE FROM Sertif; END",
         "копия содержит чужие команды (триггер «zajavki_log_personal_delete»)"},
        {"a change log of another shape",
         "DROP TABLE zajavki_log; CREATE TABLE zajavki_log (id INTEGER PRIMARY KEY, note TEXT)",
         "журнал изменений в копии устроен иначе"},
        {"a change log without its triggers", "DROP TRIGGER zajavki_log_sertif_delete",
         "в копии не хватает команд журнала изменений"},
        {"view", "CREATE VIEW everyone AS SELECT * FROM Personal",
         "в копии есть чужое представление «everyone»"},
        {"foreign table", "CREATE TABLE notes (text TEXT)", "в копии есть чужая таблица «notes»"},
        {"foreign index", "CREATE INDEX mine ON Personal (Name2)", "в копии есть чужой индекс «mine»"},
        {"missing table", "DROP TABLE Sertif", "в копии нет таблицы"},
        {"another program", "PRAGMA application_id = 1234", "копия сделана другой программой"},
        {"a newer version", "PRAGMA user_version = 99", "копия сделана более новой версией программы"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString hostile =
            QDir(root.backups())
                .filePath(QString("tovex_2030-01-01_00-00-00-%1_manual.sqlite").arg(n++, 3, 10, QChar('0')));
        ASSERT_TRUE(QFile::copy(model, hostile));
        {
            auto copy = SqliteStore::open(hostile);
            copy->exec(c.sql);
        }
        QFile::remove(hostile + "-wal");
        QFile::remove(hostile + "-shm");
        EXPECT_EQ(run({"restore-backup", hostile}), 1);
        EXPECT_TRUE(err.startsWith("Эту копию нельзя восстановить.")) << err.toStdString();
        EXPECT_TRUE(err.contains(c.refusal)) << err.toStdString();
        EXPECT_EQ(surnames(root.storeFile()), (QStringList{"ДО", "ПОСЛЕ"}));
        {
            auto sound = Backups(root.backups(), nullptr, {}).latestSound();
            ASSERT_TRUE(sound);
            EXPECT_EQ(sound->path, model) << "a hostile copy is never offered";
        }
        QFile::remove(hostile);
    }
    // A copy of an earlier build carries no mark and is the program's all the same.
    {
        auto copy = SqliteStore::open(model);
        copy->exec("PRAGMA application_id = 0; PRAGMA user_version = 0");
    }
    EXPECT_EQ(run({"restore-backup", model}), 0) << err.toStdString();
    EXPECT_EQ(surnames(root.storeFile()), QStringList{"ДО"});
}

// The check: a sound store gives each table's rows and checksum, equal for equal contents; a
// damaged one fails with what SQLite found.
TEST_F(Commands, CheckTellsASoundStoreFromADamagedOne) {
    addPerson(*store, "ИВАНОВ");
    store.reset();
    ASSERT_EQ(run({"check"}), 0) << err.toStdString();
    EXPECT_TRUE(out.contains("Personal.DB: строк 1, контрольная сумма ")) << out.toStdString();
    EXPECT_TRUE(out.endsWith(" исправна.\n")) << out.toStdString();
    const QString first = out;
    ASSERT_EQ(run({"check"}), 0);
    EXPECT_EQ(out, first);

    store = SqliteStore::open(root.storeFile());
    addPerson(*store, "ПЕТРОВ");
    const qint64 page = [&] {
        auto st = store->cached("SELECT rootpage FROM sqlite_master WHERE name = 'Personal'");
        st->step();
        return st->int64(0);
    }();
    store.reset();
    QFile file(root.storeFile());
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.seek((page - 1) * 4096);
    file.write(QByteArray(4096, '\xA5'));
    file.close();
    EXPECT_EQ(run({"check"}), 1);
    EXPECT_TRUE(err.contains(" повреждена: ")) << err.toStdString();
}

// The option the refusal of a table without its memo file names exists and is listed.
TEST_F(Commands, ImportTakesForce) {
    run({"import", "--help"});
    EXPECT_TRUE(out.contains("--force")) << out.toStdString();
    const CommandLine cl = CommandLine::parse({"import", "a.db", "--force"});
    EXPECT_TRUE(cl.error.isEmpty()) << cl.error.toStdString();
    EXPECT_TRUE(cl.hasFlag("--force"));
}

} // namespace
