// The reference books without windows: the starter lists an empty database is filled from, and
// finding an entry by a name as the clerk types it.
#include "refbooks/Books.h"
#include "core/SharedState.h"
#include "data/DataModule.h"
#include "data/Table.h"
#include "support/ScriptedPrompter.h"
#include "support/TempStore.h"

#include <gtest/gtest.h>
#include <QSet>

namespace {

struct Books : ::testing::Test {
    TempStore temp;
    SharedState state;
    ScriptedPrompter prompter;
    DataModule dm{*temp.store, state, prompter};

    void SetUp() override { dm.openAllTables(); }
    void reread() {
        for (Table* t : {dm.tblDoljn, dm.tblSpez, dm.tblSpecialty})
            t->reread();
    }
};

TEST_F(Books, AnEmptyDatabaseGetsTheStarterListsOnceAndCanEditThem) {
    const int added = books::loadStarterBooks(*temp.store);
    reread();
    const QList<books::Entry> positions = books::entries(dm, books::positions());
    const QList<books::Entry> diplomas = books::entries(dm, books::diplomaSpecialties());
    const QList<books::Entry> specialties = books::entries(dm, books::specialties());
    EXPECT_EQ(added, positions.size() + diplomas.size() + specialties.size());
    EXPECT_GT(positions.size(), 200);
    EXPECT_GT(diplomas.size(), 10);
    EXPECT_GT(specialties.size(), 120);
    for (const auto& [list, wanted] :
         {std::pair{positions, QStringList{"ВРАЧ-ТЕРАПЕВТ", "ВРАЧ-ХИРУРГ",
                                           "МЕДИЦИНСКАЯ СЕСТРА ПАЛАТНАЯ (ПОСТОВАЯ)", "ФЕЛЬДШЕР"}},
          std::pair{diplomas, QStringList{"Лечебное дело", "Педиатрия", "Сестринское дело", "Фармация"}},
          std::pair{specialties,
                    QStringList{"Терапия", "Хирургия", "Сестринское дело", "Лабораторная диагностика"}}}) {
        QSet<QString> names;
        QSet<qint64> codes;
        for (const books::Entry& e : list) {
            EXPECT_FALSE(names.contains(books::comparable(e.name))) << "twice: " << e.name.toStdString();
            EXPECT_FALSE(codes.contains(e.code)) << e.code;
            EXPECT_FALSE(e.name.startsWith(u'#')) << "a heading loaded: " << e.name.toStdString();
            // Every book's name field holds 100 characters or more; a longer name could not be typed.
            EXPECT_LE(e.name.size(), 100) << "longer than its field: " << e.name.toStdString();
            names << books::comparable(e.name);
            codes << e.code;
        }
        for (const QString& w : wanted)
            EXPECT_TRUE(names.contains(books::comparable(w))) << w.toStdString();
    }
    // Codes of the positions and diploma specialties are 1, 2, 3… in the lists' order.
    EXPECT_EQ(positions.first().code, 1);
    EXPECT_EQ(positions.last().code, positions.size());

    // A book with entries is left as it is.
    EXPECT_EQ(books::loadStarterBooks(*temp.store), 0);

    // Editable afterwards: added after the highest code, renamed, deleted.
    const books::Entry added1 = books::add(dm, books::diplomaSpecialties(), "Остеопатия");
    EXPECT_EQ(added1.code, diplomas.last().code + 1);
    books::rename(dm, books::diplomaSpecialties(), added1.code, "Остеопатическое дело");
    books::remove(dm, books::diplomaSpecialties(), {added1.code, "Остеопатическое дело"});
    EXPECT_EQ(books::entries(dm, books::diplomaSpecialties()), diplomas);
}

TEST_F(Books, ANameIsFoundWhateverItsLettersAndSpaces) {
    books::add(dm, books::diplomaSpecialties(), "Лечебное дело");
    books::add(dm, books::specialties(), "Акушёрство и гинекология");
    books::add(dm, books::positions(), "врач-терапевт");
    const struct {
        const books::Book& book;
        const char* typed;
        const char* found; // empty: not found
    } cases[] = {
        {books::diplomaSpecialties(), "лечебное дело", "Лечебное дело"},
        {books::diplomaSpecialties(), "  ЛЕЧЕБНОЕ   ДЕЛО ", "Лечебное дело"},
        {books::diplomaSpecialties(), "Лечебное", ""},
        {books::diplomaSpecialties(), "", ""},
        {books::specialties(), "Акушерство и гинекология", "Акушёрство и гинекология"},
        {books::positions(), "Врач-Терапевт", "ВРАЧ-ТЕРАПЕВТ"},
    };
    for (const auto& c : cases) {
        const auto found = books::findByName(dm, c.book, QString::fromUtf8(c.typed));
        EXPECT_EQ(found ? found->name : QString(), QString::fromUtf8(c.found)) << c.typed;
    }
}

} // namespace
