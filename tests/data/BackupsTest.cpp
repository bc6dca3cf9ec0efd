// Copies of the store: taken through SQLite's online backup while the store is held exclusively,
// named by time and action, pruned to the last twenty and one a month; a copy restored with every
// table opened again; a damaged store found at start and replaced by its latest sound copy; the
// commands that take and restore copies.
#include "data/Backups.h"
#include "core/AppContext.h"
#include "core/CommandLine.h"
#include "core/Commands.h"
#include "data/DataModule.h"
#include "data/DbError.h"
#include "data/paradox/ParadoxWriter.h"
#include "shell/StartupTables.h"
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
        store = Store::open(root.storeFile(), Store::Access::Exclusive);
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
        auto copy = Store::open(file);
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
    EXPECT_EQ(Store::checkFile(first), "");
    store.reset();
    EXPECT_EQ(surnames(first), QStringList{"ДО"});
    EXPECT_EQ(surnames(root.storeFile()), (QStringList{"ДО", "ПОСЛЕ"}));
}

TEST_F(BackupsFixture, TakesTheDaysFirstCopyOnce) {
    EXPECT_FALSE(backups().dailyIfDue().isEmpty());
    now = now.addSecs(3600);
    EXPECT_TRUE(backups().dailyIfDue().isEmpty()) << "the same day";
    now = now.addDays(1);
    EXPECT_FALSE(backups().dailyIfDue().isEmpty());
    EXPECT_EQ(actions(), (QStringList{"daily", "daily"}));
}

TEST_F(BackupsFixture, KeepsTheLastTwentyAndTheNewestOfEachMonthForAYear) {
    // One real copy, laid under many names: two a month from December 2025 to February 2027 and
    // 22 in March 2027; and files that are no copies.
    QDir().mkpath(root.backups());
    const QString model = QDir(root.backups()).filePath("model.bin");
    store->backupTo(model);
    auto lay = [&](const QDateTime& when) {
        const QString name = "tovex_" + when.toString("yyyy-MM-dd_HH-mm-ss-zzz") + "_manual.sqlite";
        QFile::copy(model, QDir(root.backups()).filePath(name));
        return name;
    };
    QStringList expected;
    for (QDate month(2025, 12, 1); month < QDate(2027, 3, 1); month = month.addMonths(1)) {
        lay(QDateTime(month.addDays(4), QTime(9, 0)));
        const QString newest = lay(QDateTime(month.addDays(19), QTime(9, 0)));
        if (month >= QDate(2026, 4, 1)) // within a year of 31 March 2027
            expected << newest;
    }
    for (int day = 1; day <= 22; ++day) {
        const QString name = lay(QDateTime(QDate(2027, 3, day), QTime(8, 0)));
        if (day >= 3)
            expected << name;
    }
    QFile::rename(model, QDir(root.backups()).filePath("damaged-2027-01-01_00-00-00-000.sqlite"));
    QFile notes(QDir(root.backups()).filePath("notes.txt"));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.close();

    now = QDateTime(QDate(2027, 3, 31), QTime(12, 0));
    const QStringList removed = backups().prune();
    EXPECT_EQ(removed.size(), 30 + 22 - int(expected.size()));
    QStringList kept = QDir(root.backups()).entryList({"tovex_*"}, QDir::Files, QDir::Name);
    expected.sort();
    EXPECT_EQ(kept, expected);
    EXPECT_EQ(kept.size(), 20 + 11);
    EXPECT_TRUE(QFileInfo::exists(QDir(root.backups()).filePath("notes.txt")));
    EXPECT_TRUE(QFileInfo::exists(QDir(root.backups()).filePath("damaged-2027-01-01_00-00-00-000.sqlite")));
}

struct RestoreFixture : BackupsFixture {
    SharedState state;
    ScriptedPrompter prompter;
    std::unique_ptr<TDM> dm;

    void SetUp() override {
        BackupsFixture::SetUp();
        dm = std::make_unique<TDM>(*store, state, prompter);
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
    Answer ask(const QString& caption, const QString& text, Icon, Buttons) override {
        shown << "ask: " + caption + " | " + text;
        return answer_;
    }
    QStringList shown;

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

    store = Store::open(root.storeFile());
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

} // namespace
