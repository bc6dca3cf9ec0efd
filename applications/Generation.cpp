#include "applications/Generation.h"

#include "data/DataModule.h"

Table& Generation::applicationsTable(const TDM& dm) const { return *qobject_cast<Table*>(dm.dataset(applications)); }
Table& Generation::traineesTable(const TDM& dm) const { return *qobject_cast<Table*>(dm.dataset(trainees)); }
Query& Generation::maxQueryOf(const TDM& dm) const { return *qobject_cast<Query*>(dm.dataset(maxQuery)); }

const Generation& Generation::current() {
    static const Generation g{Kind::Y2023,
                              "OpenZajavki2023",
                              "ftrZajavki2023",
                              "ftrNewZajavki2023",
                              "Новая заявка",
                              "ftrInsertSluch2023",
                              "добавление специалистов",
                              "ftrMZajavki2023",
                              "tblZajavki2023",
                              "tblSluch2023",
                              "qrMZajavki2023",
                              "NewZicl2023",
                              false,
                              4,
                              8,
                              8,
                              "FOBUCH",
                              true,
                              true,
                              true};
    return g;
}

const Generation& Generation::y2021() {
    static const Generation g{Kind::Y2021,
                              "OpenZajavki2021",
                              "ftrZajavki2021",
                              "ftrNewZajavka2021",
                              "Новая Заявка ",
                              "ftrInsertSluch2021",
                              "Добавление специалистов",
                              "ftrMZajavki2021",
                              "tblZajavki2021",
                              "tblSluch2021",
                              "qrMZajavki2021",
                              "NewZicl2023",
                              true,
                              3,
                              7,
                              7,
                              "TypeOb",
                              true,
                              false,
                              false};
    return g;
}

const Generation& Generation::base() {
    static const Generation g{Kind::Base,
                              "OpenZajavki",
                              "ftrZajavki",
                              "ftrNewZajavka",
                              "Новая заявка",
                              "ftrInsertSluch",
                              "Добавление специалистов ",
                              "ftrMZajavki",
                              "tblZajavki",
                              "tblSluch",
                              "qrMZajavki",
                              "NewZicl2021",
                              true,
                              2,
                              6,
                              6,
                              "TypeOb",
                              false,
                              false,
                              false};
    return g;
}
