#include "applications/Generation.h"

#include "data/DataModule.h"

namespace {

using applications::TraineeColumn;
using ColumnKind = TraineeColumn::Kind;

// Columns of the printed application.
TraineeColumn runningNumber(int column) {
    return {.column = column, .kind = ColumnKind::RunningNumber, .field = {}};
}
TraineeColumn text(int column, const char* field, Table* DataModule::*details = nullptr) {
    return {
        .column = column, .kind = ColumnKind::Text, .field = QString::fromLatin1(field), .details = details};
}
TraineeColumn integer(int column, const char* field) {
    return {.column = column, .kind = ColumnKind::Integer, .field = QString::fromLatin1(field)};
}
TraineeColumn serviceYears(int column, const char* field) {
    return {.column = column, .kind = ColumnKind::ServiceYears, .field = QString::fromLatin1(field)};
}
// A trainee without a birth date, stored as the zero date, gets an empty cell.
TraineeColumn date(int column, const char* field) {
    return {.column = column, .kind = ColumnKind::Date, .field = QString::fromLatin1(field)};
}
TraineeColumn fullName(int column) {
    return {.column = column, .kind = ColumnKind::FullName, .field = {}};
}
TraineeColumn found(int column, const char* field, applications::Reference reference) {
    return {.column = column,
            .kind = ColumnKind::Found,
            .field = QString::fromLatin1(field),
            .lookup = reference};
}

ExportColumn trainee(const char* field) {
    return ExportColumn::ofTrainee(field);
}

// The grid columns the two earlier windows share; the base one's programme title ends in a point.
QList<TraineeGridColumn> earlierGridColumns(const char* programmeTitle) {
    return {{"KZajavki", "Заявка"}, {"Year", "Уч. год"},    {"KZicl", QString::fromUtf8(programmeTitle)},
            {"VidOb", "ВидОб"},     {"Hours", "ОбъемЧас."}, {"KV", "Кварт."},
            {"Name1", "Фамилия"},   {"Name2", "Имя"},       {"Name3", "Отчество"}};
}

} // namespace

Table& Generation::applicationsTable(const DataModule& dm) const {
    return *(dm.*applications.table);
}
Table& Generation::traineesTable(const DataModule& dm) const {
    return *(dm.*trainees.table);
}
Query& Generation::maxQueryOf(const DataModule& dm) const {
    return *(dm.*maxQuery);
}
DataSource* Generation::applicationsSource(const DataModule& dm) const {
    return dm.*applications.source;
}
DataSource* Generation::traineesSource(const DataModule& dm) const {
    return dm.*trainees.source;
}
Table& Generation::workingTableOf(const DataModule& dm) const {
    return *(dm.*workingTable);
}

QList<Table*> Generation::detailTables(const DataModule& dm) const {
    QList<Table*> tables;
    for (const BoundTable& details : {certificateRows, emailRows, snilsRows})
        if (details)
            tables << dm.*details.table;
    return tables;
}

const Generation& Generation::current() {
    static const Generation g{
        .kind = Kind::Y2023,
        .openProcedure = "OpenZajavki2023",
        .windowInstance = "ftrZajavki2023",
        .newDialogInstance = "ftrNewZajavki2023",
        .newDialogCaption = "Новая заявка",
        .insertInstance = "ftrInsertSluch2023",
        .insertCaption = "Добавление специалистов",
        .editorInstance = "ftrMZajavki2023",
        .operationsEnabled = true,
        .offersMoving = true,
        .applications = {&DataModule::tblZajavki2023, &DataModule::dtsZajavki2023},
        .trainees = {&DataModule::tblSluch2023, &DataModule::dtsSluch2023},
        .maxQuery = &DataModule::qrMZajavki2023,
        .movingTargets = {&DataModule::qZajavki2023, &DataModule::dtsqZajavki2023},
        .certificateRows = {},
        .emailRows = {},
        .snilsRows = {},
        .snilsInRow = true,
        .catalogue = "NewZicl2023",
        .addOffersEarlierYears = false,
        .programmeAttribute = "FOBUCH",
        .callers = {.programmeForAdding = 4,
                    .programmeForEditing = 8,
                    .position = 8,
                    .diplomaSpecialty = 8,
                    .specialty = 8,
                    .certificate = 0},
        .years = {.proposed = 2026, .fixed = false, .latest = 0, .highlighted = true},
        .editorKeysStepOn = false,
        .traineeColumns = {{"KZajavki", "Заявка"},
                           {"Year", "Уч. год"},
                           {"KZicl", "КодПрогр"},
                           {"VidOb", "ВидОб"},
                           {"FOBUCH", "ФормаОбуч"},
                           {"Hours", "ОбъемЧас."},
                           {"KV", "Кварт."},
                           {"Name1", "Фамилия"},
                           {"Name2", "Имя"},
                           {"Name3", "Отчество"},
                           {"StajDoljn", "СтажСпец"},
                           {"StajOb", "СтажОбщ"},
                           {"Specialty", "Специальность"},
                           {"DateCl", "ДатаСерт/Аккред"},
                           {"SNILS", "Снилс"},
                           {"EMAIL", ""}},
        .traineePanel = {},
        .exportPrefix = "ZES",
        .workingTable = &DataModule::tblTempZ2023,
        .exportColumns = {trainee("KZajavki"), trainee("Name1"), trainee("Name2"), trainee("Name3"),
                          trainee("KZicl"), trainee("KV"), trainee("DR"), trainee("KDoljn"), trainee("KSpez"),
                          // Years of service nobody knows (no start year) reach the centre empty.
                          ExportColumn::ofTrainee("StajOb", false),
                          ExportColumn::ofTrainee("StajDoljn", false), trainee("Year"), trainee("VidOb"),
                          trainee("Hours"), trainee("DateCl"), trainee("Specialty"), trainee("EMAIL"),
                          trainee("SNILS"), trainee("FOBUCH")},
        .documentTemplate = "Zajavka2023",
        .documentColumns = {runningNumber(1), text(2, "KZicl"), text(3, "VidOb"), integer(4, "Hours"),
                            text(5, "FOBUCH"), found(6, "NZicl", applications::ProgrammeReference),
                            integer(7, "KV"), fullName(8), date(9, "DR"),
                            found(10, "NDoljn", applications::PositionReference), serviceYears(11, "StajOb"),
                            serviceYears(12, "StajDoljn"),
                            found(13, "NSpez", applications::DiplomaSpecialtyReference),
                            // The certificate's date is written as the text the field shows.
                            text(14, "DateCl"), text(15, "Specialty"), text(16, "EMAIL"), text(17, "SNILS")},
        .documentCountsHours = false,
    };
    return g;
}

const Generation& Generation::y2021() {
    static const Generation g{
        .kind = Kind::Y2021,
        .openProcedure = "OpenZajavki2021",
        .windowInstance = "ftrZajavki2021",
        .newDialogInstance = "ftrNewZajavka2021",
        .newDialogCaption = "Новая Заявка ",
        .insertInstance = "ftrInsertSluch2021",
        .insertCaption = "Добавление специалистов",
        .editorInstance = "ftrMZajavki2021",
        .operationsEnabled = false,
        .offersMoving = true,
        .applications = {&DataModule::tblZajavki2021, &DataModule::dtsZajavki2021},
        .trainees = {&DataModule::tblSluch2021, &DataModule::dtsSluch2021},
        .maxQuery = &DataModule::qrMZajavki2021,
        .movingTargets = {&DataModule::qZajavki2021, &DataModule::dtsqZajavki2021},
        .certificateRows = {},
        .emailRows = {},
        .snilsRows = {&DataModule::tblSluchSnils, &DataModule::dtsSluchSnils},
        .snilsInRow = false,
        .catalogue = "NewZicl2023",
        .addOffersEarlierYears = true,
        .programmeAttribute = "TypeOb",
        .callers = {.programmeForAdding = 3,
                    .programmeForEditing = 7,
                    .position = 7,
                    .diplomaSpecialty = 7,
                    .specialty = 7,
                    .certificate = 0},
        .years = {.proposed = 2022, .fixed = true, .latest = 0, .highlighted = true},
        .editorKeysStepOn = false,
        .traineeColumns = earlierGridColumns("КодПрогр"),
        .traineePanel = {{"Снилс:", &DataModule::dtsSluchSnils, "SNILS"},
                         {"Почтовый ящик (e-mail:)", &DataModule::dtsSluch2021, "EMAIL"},
                         {"Дата окончания сертификата/аккредитации", &DataModule::dtsSluch2021, "DateCl"},
                         {"Специальность:", &DataModule::dtsSluch2021, "Specialty"},
                         {"Общемедицинский стаж:", &DataModule::dtsSluch2021, "StajOb"},
                         {"Стаж по специальности:", &DataModule::dtsSluch2021, "StajDoljn"}},
        .exportPrefix = "ZES",
        .workingTable = &DataModule::tblTempZ2023,
        // The form of study is not kept; the SNILS comes from the trainee's SNILS row.
        .exportColumns = {trainee("KZajavki"), trainee("Name1"), trainee("Name2"), trainee("Name3"),
                          trainee("KZicl"), trainee("KV"), trainee("DR"), trainee("KDoljn"), trainee("KSpez"),
                          trainee("StajOb"), trainee("StajDoljn"), trainee("Year"), trainee("VidOb"),
                          trainee("Hours"), trainee("DateCl"), trainee("Specialty"), trainee("EMAIL"),
                          ExportColumn::ofDetails(&DataModule::tblSluchSnils, "SNILS"),
                          ExportColumn::empty()},
        .documentTemplate = "Zajavka2022",
        .documentColumns = {runningNumber(1), text(2, "KZicl"), text(3, "VidOb"), integer(4, "Hours"),
                            found(5, "NZicl", applications::ProgrammeReference), integer(6, "KV"),
                            fullName(7), date(8, "DR"), found(9, "NDoljn", applications::PositionReference),
                            serviceYears(10, "StajOb"), serviceYears(11, "StajDoljn"),
                            found(12, "NSpez", applications::DiplomaSpecialtyReference), text(13, "DateCl"),
                            text(14, "Specialty"), text(15, "EMAIL"),
                            text(16, "SNILS", &DataModule::tblSluchSnils)},
        .documentCountsHours = false,
    };
    return g;
}

const Generation& Generation::base() {
    static const Generation g{
        .kind = Kind::Base,
        .openProcedure = "OpenZajavki",
        .windowInstance = "ftrZajavki",
        .newDialogInstance = "ftrNewZajavka",
        .newDialogCaption = "Новая заявка",
        .insertInstance = "ftrInsertSluch",
        .insertCaption = "Добавление специалистов",
        .editorInstance = "ftrMZajavki",
        .operationsEnabled = false,
        .offersMoving = false,
        .applications = {&DataModule::tblZajavki, &DataModule::dtsZajavki},
        .trainees = {&DataModule::tblSluch, &DataModule::dtsSluch},
        .maxQuery = &DataModule::qrMZajavki,
        .movingTargets = {&DataModule::qZajavki, &DataModule::dtsqZajavki},
        .certificateRows = {&DataModule::tblSLSertif, &DataModule::dtsSLSertif},
        .emailRows = {&DataModule::tblSlEmail, &DataModule::dtsSlEmail},
        .snilsRows = {},
        .snilsInRow = false,
        .catalogue = "NewZicl2021",
        .addOffersEarlierYears = true,
        .programmeAttribute = "TypeOb",
        .callers = {.programmeForAdding = 2,
                    .programmeForEditing = 6,
                    .position = 6,
                    .diplomaSpecialty = 6,
                    .specialty = 12,
                    .certificate = 6},
        .years = {.proposed = 0, .fixed = false, .latest = 2020, .highlighted = false},
        .editorKeysStepOn = true,
        .traineeColumns = earlierGridColumns("КодПрогр."),
        .traineePanel = {{"Почтовый ящик (e-mail:)", &DataModule::dtsSlEmail, "EMAIL"},
                         {"Дата окончания действия сертификата:", &DataModule::dtsSLSertif, "DateCL"},
                         {"Специальность:", &DataModule::dtsSLSertif, "Name"},
                         {"Общемедицинский стаж:", &DataModule::dtsSluch, "StajOb"},
                         {"Стаж по специальности:", &DataModule::dtsSluch, "StajDoljn"}},
        .exportPrefix = "ZE",
        .workingTable = &DataModule::tblTempZ,
        // The working table TempZ: the certificate's date only when the trainee's certificate row
        // holds one (an empty date stays empty); the fields of a later reworking stay empty.
        .exportColumns = {trainee("KZajavki"),
                          trainee("Name1"),
                          trainee("Name2"),
                          trainee("Name3"),
                          trainee("KZicl"),
                          trainee("TypeOb"),
                          trainee("KV"),
                          trainee("DR"),
                          trainee("KDoljn"),
                          trainee("KSpez"),
                          trainee("StajOb"),
                          trainee("StajDoljn"),
                          trainee("Year"),
                          ExportColumn::empty(),
                          ExportColumn::empty(),
                          ExportColumn::empty(),
                          ExportColumn::empty(),
                          trainee("VidOb"),
                          trainee("Hours"),
                          ExportColumn::ofDetails(&DataModule::tblSLSertif, "DateCL", false),
                          ExportColumn::ofDetails(&DataModule::tblSLSertif, "Name"),
                          ExportColumn::ofDetails(&DataModule::tblSlEmail, "EMAIL")},
        .documentTemplate = "Zajavka2020",
        .documentColumns = {runningNumber(1), text(2, "KZicl"), text(3, "VidOb"), integer(4, "Hours"),
                            found(5, "NZicl", applications::ProgrammeReference), integer(6, "KV"),
                            fullName(7), date(8, "DR"), found(9, "NDoljn", applications::PositionReference),
                            serviceYears(10, "StajOb"), serviceYears(11, "StajDoljn"),
                            found(12, "NSpez", applications::DiplomaSpecialtyReference),
                            text(13, "DateCL", &DataModule::tblSLSertif),
                            text(14, "Name", &DataModule::tblSLSertif),
                            text(15, "EMAIL", &DataModule::tblSlEmail)},
        .documentCountsHours = true,
    };
    return g;
}

const QList<const Generation*>& Generation::all() {
    static const QList<const Generation*> generations{&base(), &y2021(), &current()};
    return generations;
}
