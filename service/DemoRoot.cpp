#include "service/DemoRoot.h"

#include "data/DbError.h"
#include "data/Store.h"
#include "data/Table.h"
#include "personnel/Snils.h"

#include <algorithm>
#include <map>
#include <memory>
#include <QDir>
#include <QHash>
#include <QRandomGenerator>
#include <QSet>
#include <QStringList>
#include <vector>

namespace demo {

namespace {

QString ru(const char* text) {
    return QString::fromUtf8(text);
}

// ------------------------------------------------------------------ reference books

// Specialties of certificates and of the catalogue (Specialty.DB).
const char* const kSpecialties[] = {
    "Терапия",
    "Общая врачебная практика (семейная медицина)",
    "Педиатрия",
    "Кардиология",
    "Неврология",
    "Хирургия",
    "Эндоскопия",
    "Анестезиология-реаниматология",
    "Офтальмология",
    "Оториноларингология",
    "Акушерство и гинекология",
    "Рентгенология",
    "Ультразвуковая диагностика",
    "Клиническая лабораторная диагностика",
    "Организация здравоохранения и общественное здоровье",
    "Сестринское дело",
    "Сестринское дело в педиатрии",
    "Организация сестринского дела",
    "Анестезиология и реаниматология",
    "Операционное дело",
    "Лечебное дело",
    "Акушерское дело",
    "Лабораторная диагностика",
};

// Specialties of diplomas (SPEZ.DB), coded 1, 2, ... in this order.
const char* const kDiplomaSpecialties[] = {
    "Лечебное дело",
    "Педиатрия",
    "Стоматология",
    "Медико-профилактическое дело",
    "Фармация",
    "Медицинская биохимия",
    "Сестринское дело",
    "Акушерское дело",
    "Лабораторная диагностика",
    "Стоматология ортопедическая",
    "Стоматология профилактическая",
    "Медицинская оптика",
};

// A position with what its holders usually have: the diploma specialty and the specialties of
// their certificates (the second one is held by some of them).
struct Position {
    int code;
    const char* name;
    int diploma; // KSpez
    const char* specialty;
    const char* secondSpecialty;
    bool womenOnly; // the name is the female form
    int staff;      // how many of the sample's employees hold it
};

const Position kPositions[] = {
    {1, "ГЛАВНЫЙ ВРАЧ", 1, "Организация здравоохранения и общественное здоровье", "Терапия", false, 1},
    {2, "ЗАМЕСТИТЕЛЬ ГЛАВНОГО ВРАЧА ПО МЕДИЦИНСКОЙ ЧАСТИ", 1,
     "Организация здравоохранения и общественное здоровье", "Хирургия", false, 1},
    {3, "ЗАВЕДУЮЩИЙ ТЕРАПЕВТИЧЕСКИМ ОТДЕЛЕНИЕМ - ВРАЧ-ТЕРАПЕВТ", 1, "Терапия",
     "Организация здравоохранения и общественное здоровье", false, 1},
    {4, "ВРАЧ-ТЕРАПЕВТ", 1, "Терапия", nullptr, false, 3},
    {5, "ВРАЧ-ТЕРАПЕВТ УЧАСТКОВЫЙ", 1, "Терапия", "Общая врачебная практика (семейная медицина)", false, 3},
    {6, "ВРАЧ ОБЩЕЙ ПРАКТИКИ (СЕМЕЙНЫЙ ВРАЧ)", 1, "Общая врачебная практика (семейная медицина)", "Терапия",
     false, 1},
    {7, "ВРАЧ-ПЕДИАТР УЧАСТКОВЫЙ", 2, "Педиатрия", nullptr, false, 2},
    {8, "ВРАЧ-КАРДИОЛОГ", 1, "Кардиология", "Терапия", false, 1},
    {9, "ВРАЧ-НЕВРОЛОГ", 1, "Неврология", nullptr, false, 1},
    {10, "ВРАЧ-ХИРУРГ", 1, "Хирургия", "Эндоскопия", false, 2},
    {11, "ВРАЧ-АНЕСТЕЗИОЛОГ-РЕАНИМАТОЛОГ", 1, "Анестезиология-реаниматология", nullptr, false, 1},
    {12, "ВРАЧ-ОФТАЛЬМОЛОГ", 1, "Офтальмология", nullptr, false, 1},
    {13, "ВРАЧ-ОТОРИНОЛАРИНГОЛОГ", 1, "Оториноларингология", nullptr, false, 1},
    {14, "ВРАЧ-АКУШЕР-ГИНЕКОЛОГ", 1, "Акушерство и гинекология", "Ультразвуковая диагностика", false, 1},
    {15, "ВРАЧ-РЕНТГЕНОЛОГ", 1, "Рентгенология", nullptr, false, 1},
    {16, "ВРАЧ УЛЬТРАЗВУКОВОЙ ДИАГНОСТИКИ", 1, "Ультразвуковая диагностика", nullptr, false, 1},
    {17, "ВРАЧ КЛИНИЧЕСКОЙ ЛАБОРАТОРНОЙ ДИАГНОСТИКИ", 6, "Клиническая лабораторная диагностика", nullptr,
     false, 1},
    {18, "ГЛАВНАЯ МЕДИЦИНСКАЯ СЕСТРА", 7, "Организация сестринского дела", "Сестринское дело", true, 1},
    {19, "СТАРШАЯ МЕДИЦИНСКАЯ СЕСТРА", 7, "Сестринское дело", "Организация сестринского дела", true, 1},
    {20, "МЕДИЦИНСКАЯ СЕСТРА ПАЛАТНАЯ", 7, "Сестринское дело", nullptr, true, 4},
    {21, "МЕДИЦИНСКАЯ СЕСТРА ПРОЦЕДУРНОЙ", 7, "Сестринское дело", nullptr, true, 2},
    {22, "МЕДИЦИНСКАЯ СЕСТРА УЧАСТКОВАЯ", 7, "Сестринское дело", "Сестринское дело в педиатрии", true, 3},
    {23, "МЕДИЦИНСКАЯ СЕСТРА-АНЕСТЕЗИСТ", 7, "Анестезиология и реаниматология", nullptr, true, 1},
    {24, "ОПЕРАЦИОННАЯ МЕДИЦИНСКАЯ СЕСТРА", 7, "Операционное дело", nullptr, true, 1},
    {25, "ФЕЛЬДШЕР", 1, "Лечебное дело", nullptr, false, 1},
    {26, "АКУШЕРКА", 8, "Акушерское дело", nullptr, true, 1},
    {27, "Медицинский лабораторный техник", 9, "Лабораторная диагностика", nullptr, false, 1},
    {28, "Рентгенолаборант", 7, "Рентгенология", nullptr, false, 1},
};

// ------------------------------------------------------------------ names

const char* const kSurnames[] = {
    "ИВАНОВ",     "ПЕТРОВ",    "СМИРНОВ",  "КУЗНЕЦОВ", "ПОПОВ",     "ВАСИЛЬЕВ",  "СОКОЛОВ", "МИХАЙЛОВ",
    "НОВИКОВ",    "ФЕДОРОВ",   "МОРОЗОВ",  "ВОЛКОВ",   "АЛЕКСЕЕВ",  "ЛЕБЕДЕВ",   "СЕМЕНОВ", "ЕГОРОВ",
    "ПАВЛОВ",     "КОЗЛОВ",    "СТЕПАНОВ", "НИКОЛАЕВ", "ОРЛОВ",     "АНДРЕЕВ",   "МАКАРОВ", "НИКИТИН",
    "ЗАХАРОВ",    "ЗАЙЦЕВ",    "СОЛОВЬЕВ", "БОРИСОВ",  "ЯКОВЛЕВ",   "ГРИГОРЬЕВ", "РОМАНОВ", "ВОРОБЬЕВ",
    "СЕРГЕЕВ",    "ФРОЛОВ",    "ДМИТРИЕВ", "КОРОЛЕВ",  "ГУСЕВ",     "КИСЕЛЕВ",   "ИЛЬИН",   "БЕЛОВ",
    "МЕДВЕДЕВ",   "ТАРАСОВ",   "ЖУКОВ",    "КОМАРОВ",  "БЕЛЯЕВ",    "СИНИЦЫН",   "ЛИСИЦЫН", "ВИШНЕВСКИЙ",
    "ПОКРОВСКИЙ", "ЗАГОРСКИЙ", "ТОЛСТОЙ",  "ШЕВЧЕНКО", "КОВАЛЕНКО",
};

const char* const kMaleNames[] = {"АЛЕКСАНДР", "СЕРГЕЙ", "АНДРЕЙ",   "ДМИТРИЙ", "АЛЕКСЕЙ", "МИХАИЛ",
                                  "ИГОРЬ",     "ОЛЕГ",   "ВЛАДИМИР", "ЕВГЕНИЙ", "НИКОЛАЙ", "ПАВЕЛ",
                                  "МАКСИМ",    "РОМАН",  "ДЕНИС",    "ВИКТОР"};

const char* const kFemaleNames[] = {"ЕЛЕНА",  "ОЛЬГА",     "НАТАЛЬЯ", "ТАТЬЯНА",   "ИРИНА",  "СВЕТЛАНА",
                                    "МАРИНА", "АННА",      "ЮЛИЯ",    "ЕКАТЕРИНА", "ГАЛИНА", "ЛЮДМИЛА",
                                    "ОКСАНА", "ВАЛЕНТИНА", "НАДЕЖДА", "МАРИЯ",     "ЛАРИСА", "ЛЮБОВЬ"};

// Male patronymics; every one ends in -ВИЧ, whose female form is -ВНА.
const char* const kPatronymics[] = {
    "ИВАНОВИЧ",      "ПЕТРОВИЧ",   "СЕРГЕЕВИЧ",  "АЛЕКСЕЕВИЧ", "НИКОЛАЕВИЧ", "АНДРЕЕВИЧ",   "ВЛАДИМИРОВИЧ",
    "АЛЕКСАНДРОВИЧ", "МИХАЙЛОВИЧ", "ВИКТОРОВИЧ", "ЮРЬЕВИЧ",    "ДМИТРИЕВИЧ", "ГЕННАДЬЕВИЧ", "АНАТОЛЬЕВИЧ",
    "ОЛЕГОВИЧ",      "ИГОРЕВИЧ",   "ЕВГЕНЬЕВИЧ", "БОРИСОВИЧ",  "ВАЛЕРЬЕВИЧ", "ВАСИЛЬЕВИЧ",  "ПАВЛОВИЧ"};

// A trainee row takes the person's names, birth date, position and diploma specialty.
void copyPerson(Table& trainee, const Table& person) {
    for (const QString* name : {&fld::Name1, &fld::Name2, &fld::Name3})
        trainee.field(*name).setAsString(person.field(*name).asString());
    trainee.field(fld::DR).setAsDate(person.field(fld::DR).asDate());
    trainee.field(fld::KDoljn).setAsInteger(person.field(fld::KDoljn).asInteger());
    trainee.field(fld::KSpez).setAsInteger(person.field(fld::KSpez).asInteger());
}

QString femaleSurname(const QString& male) {
    if (male.endsWith(ru("ИЙ")) || male.endsWith(ru("ОЙ")))
        return male.chopped(2) + ru("АЯ");
    if (male.endsWith(ru("ОВ")) || male.endsWith(ru("ЕВ")) || male.endsWith(ru("ИН")) ||
        male.endsWith(ru("ЫН")))
        return male + ru("А");
    return male; // -ЕНКО is the same for both
}

QString femalePatronymic(const QString& male) {
    return male.chopped(3) + ru("ВНА");
}

// Latin letters for e-mail addresses.
QString latin(const QString& text) {
    static const QHash<QChar, QString> map = [] {
        const QString cyrillic = ru("АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ");
        const char* const lat[] = {"a",  "b",  "v",  "g",  "d",    "e", "e", "zh", "z", "i",  "y",
                                   "k",  "l",  "m",  "n",  "o",    "p", "r", "s",  "t", "u",  "f",
                                   "kh", "ts", "ch", "sh", "shch", "",  "y", "",   "e", "yu", "ya"};
        QHash<QChar, QString> m;
        for (int i = 0; i < cyrillic.size(); ++i)
            m.insert(cyrillic[i], QString::fromLatin1(lat[i]));
        return m;
    }();
    QString out;
    for (const QChar c : text.toUpper())
        out += map.value(c, c.isLetterOrNumber() ? QString(c).toLower() : QString());
    return out;
}

// ------------------------------------------------------------------ the catalogue

struct Programme {
    const char* specialty;
    const char* vid; // ПК: professional development, ПП: retraining
    int hours;
    const char* form;
    const char* name;
    const char* contingent;
    const char* additional; // further specialties the programme counts for, or ""
};

const Programme kProgrammes[] = {
    {"Терапия", "ПК", 144, "очн", "Актуальные вопросы терапии", "Врачи-терапевты, врачи-терапевты участковые",
     "Общая врачебная практика (семейная медицина)"},
    {"Терапия", "ПК", 36, "ДОТ", "Неотложные состояния в практике врача-терапевта",
     "Врачи-терапевты, врачи-терапевты участковые, врачи общей практики",
     "Общая врачебная практика (семейная медицина), Кардиология"},
    {"Терапия", "ПК", 18, "ДОТ", "Диспансерное наблюдение взрослого населения",
     "Врачи-терапевты участковые, врачи общей практики", "Общая врачебная практика (семейная медицина)"},
    {"Терапия", "ПП", 504, "очн", "Терапия", "Врачи с высшим образованием по специальности «Лечебное дело»",
     "Общая врачебная практика (семейная медицина), Кардиология"},
    {"Общая врачебная практика (семейная медицина)", "ПК", 144, "очн",
     "Общая врачебная практика (семейная медицина)", "Врачи общей практики (семейные врачи)",
     "Терапия, Педиатрия"},
    {"Кардиология", "ПК", 144, "очн", "Кардиология", "Врачи-кардиологи", ""},
    {"Кардиология", "ПК", 36, "заочн", "Электрокардиография в практике врача",
     "Врачи-кардиологи, врачи-терапевты, врачи общей практики",
     "Терапия, Общая врачебная практика (семейная медицина)"},
    {"Кардиология", "ПП", 504, "очн", "Кардиология", "Врачи-терапевты, врачи общей практики",
     "Терапия, Общая врачебная практика (семейная медицина)"},
    {"Неврология", "ПК", 144, "очн", "Неврология", "Врачи-неврологи", ""},
    {"Неврология", "ПК", 36, "ДОТ", "Острые нарушения мозгового кровообращения",
     "Врачи-неврологи, врачи-терапевты", "Терапия, Общая врачебная практика (семейная медицина)"},
    {"Хирургия", "ПК", 144, "очн", "Хирургия", "Врачи-хирурги", ""},
    {"Хирургия", "ПК", 72, "очн", "Эндоскопическая хирургия", "Врачи-хирурги, врачи-эндоскописты",
     "Эндоскопия"},
    {"Анестезиология-реаниматология", "ПК", 144, "очн", "Анестезиология-реаниматология",
     "Врачи-анестезиологи-реаниматологи", ""},
    {"Анестезиология-реаниматология", "ПК", 36, "очн", "Интенсивная терапия сепсиса и септического шока",
     "Врачи-анестезиологи-реаниматологи, врачи-хирурги", "Хирургия, Терапия"},
    {"Офтальмология", "ПК", 144, "очн", "Офтальмология", "Врачи-офтальмологи", ""},
    {"Оториноларингология", "ПК", 144, "очн", "Оториноларингология", "Врачи-оториноларингологи", ""},
    {"Педиатрия", "ПК", 144, "очн", "Педиатрия", "Врачи-педиатры, врачи-педиатры участковые",
     "Общая врачебная практика (семейная медицина)"},
    {"Педиатрия", "ПК", 18, "ДОТ", "Вакцинопрофилактика у детей",
     "Врачи-педиатры участковые, врачи общей практики", "Общая врачебная практика (семейная медицина)"},
    {"Акушерство и гинекология", "ПК", 144, "очн", "Акушерство и гинекология", "Врачи-акушеры-гинекологи",
     ""},
    {"Акушерство и гинекология", "ПК", 36, "очн", "Неотложные состояния в акушерстве",
     "Врачи-акушеры-гинекологи, врачи-анестезиологи-реаниматологи", "Анестезиология-реаниматология"},
    {"Рентгенология", "ПК", 144, "очн", "Рентгенология", "Врачи-рентгенологи", ""},
    {"Ультразвуковая диагностика", "ПП", 504, "очн", "Ультразвуковая диагностика",
     "Врачи с высшим образованием по специальности «Лечебное дело» или «Педиатрия»",
     "Терапия, Хирургия, Акушерство и гинекология, Кардиология"},
    {"Клиническая лабораторная диагностика", "ПК", 144, "очн", "Клиническая лабораторная диагностика",
     "Врачи клинической лабораторной диагностики", ""},
    {"Организация здравоохранения и общественное здоровье", "ПК", 144, "очн",
     "Организация здравоохранения и общественное здоровье",
     "Руководители медицинских организаций и их заместители", ""},
    {"Организация здравоохранения и общественное здоровье", "ПК", 72, "ДОТ",
     "Экспертиза качества медицинской помощи", "Заместители главного врача, заведующие отделениями",
     "Терапия, Хирургия, Педиатрия"},
    {"Сестринское дело", "ПК", 144, "очн", "Сестринское дело в терапии",
     "Медицинские сестры палатные, процедурные, участковые", "Сестринское дело в педиатрии"},
    {"Сестринское дело", "ПК", 36, "ДОТ", "Неотложная помощь в работе медицинской сестры",
     "Средний медицинский персонал",
     "Сестринское дело в педиатрии, Операционное дело, Анестезиология и реаниматология, Акушерское дело"},
    {"Сестринское дело", "ПП", 252, "очн", "Сестринское дело",
     "Специалисты со средним медицинским образованием", "Лечебное дело, Акушерское дело"},
    {"Организация сестринского дела", "ПК", 144, "очн", "Управление сестринской деятельностью",
     "Главные и старшие медицинские сестры", "Сестринское дело"},
    {"Анестезиология и реаниматология", "ПК", 144, "очн",
     "Сестринское дело в анестезиологии и реаниматологии", "Медицинские сестры-анестезисты", ""},
    {"Операционное дело", "ПК", 144, "очн", "Сестринское операционное дело",
     "Операционные медицинские сестры", ""},
    {"Лабораторная диагностика", "ПК", 144, "заочн",
     "Современные методы клинических лабораторных исследований",
     "Медицинские лабораторные техники, лаборанты", ""},
    {"Акушерское дело", "ПК", 144, "очн", "Акушерское дело", "Акушерки", ""},
    {"Лечебное дело", "ПК", 144, "очн", "Скорая и неотложная помощь в работе фельдшера", "Фельдшеры", ""},
};

// ------------------------------------------------------------------ the sample's choices

// The seed every run starts from, so that the same date gives the same sample.
constexpr quint32 kSeed = 20260116;

// Employees (by their place in the staff list) whose rows leave something out, as real records do.
const QSet<int> kNoBirthDate{6, 29};
const QSet<int> kNoStartYear{17};
const QSet<int> kNoPositionYear{17, 33};
const QSet<int> kNoCertificate{4, 15, 26, 37};
const QSet<int> kNoEmail{3, 11, 26, 35};
const QSet<int> kNoSnils{8, 22, 36};
// Employees in the application: among them the gaps above, which the snapshot must carry over.
const int kTrainees[] = {6, 8, 12, 17, 26, 30, 35};
// Employees in the applications of the two earlier generations, each with gaps of its own kind:
// no certificate or e-mail (base), no SNILS (2021).
const int kBaseTrainees[] = {3, 5, 15, 20, 27, 31};
const int k2021Trainees[] = {2, 8, 11, 18, 22, 33};
// The years and number of those applications.
constexpr int kBaseYear = 2020;
constexpr int k2021Year = 2022;

struct Person {
    qint64 npp = 0;
    QString specialty; // of the first certificate, or of the position when there is none
};

class Filler {
public:
    Filler(Store& store, const QDate& today) : store_(store), today_(today), rng_(kSeed) {}

    Summary run() {
        Store::Transaction transaction(store_);
        writeReferenceBooks();
        writePeople();
        writeCatalogue();
        writeSettings();
        writeApplication();
        writeTrainingHistory();
        writeEarlierApplications();
        transaction.commit();
        return summary_;
    }

private:
    // Each table is opened once and stays open until the sample is written.
    Table& open(const char* name) {
        const QString tableName = QString::fromLatin1(name);
        std::unique_ptr<Table>& table = tables_[tableName];
        if (!table) {
            table = std::make_unique<Table>(store_, tableName, tableName);
            table->open();
        }
        return *table;
    }
    int between(int lo, int hi) { return int(rng_.bounded(lo, hi + 1)); } // lo..hi
    template <typename T, size_t N> const T& pick(const T (&items)[N]) {
        return items[rng_.bounded(quint32(N))];
    }

    void writeReferenceBooks() {
        Table& doljn = open("DOLJNOST");
        for (const Position& p : kPositions) {
            doljn.append();
            doljn.field(fld::KDoljn).setAsInteger(p.code);
            doljn.field(fld::NDoljn).setAsString(ru(p.name));
            doljn.post();
            ++summary_.positions;
        }
        Table& spez = open("SPEZ");
        int code = 0;
        for (const char* name : kDiplomaSpecialties) {
            spez.append();
            spez.field(fld::KSpez).setAsInteger(++code);
            spez.field(fld::NSpez).setAsString(ru(name));
            spez.post();
            ++summary_.diplomaSpecialties;
        }
        Table& specialty = open("Specialty");
        for (const char* name : kSpecialties) {
            specialty.append();
            specialty.field(fld::Name).setAsString(ru(name));
            specialty.post();
            ++summary_.specialties;
        }
    }

    void writePeople() {
        std::vector<const Position*> staff;
        for (const Position& p : kPositions)
            for (int i = 0; i < p.staff; ++i)
                staff.push_back(&p);

        // Surnames without repeats: a shuffle of the list, taken from the front.
        QStringList surnames;
        for (const char* s : kSurnames)
            surnames << ru(s);
        for (int i = int(surnames.size()) - 1; i > 0; --i)
            surnames.swapItemsAt(i, between(0, i));

        Table& personal = open("Personal");
        Table& sertif = open("Sertif");
        Table& email = open("PEREMAIL");
        Table& snilsTable = open("PERSNILS");
        QSet<QString> addresses;
        QSet<qint32> numbers;
        const int year = today_.year();

        for (int i = 0; i < int(staff.size()); ++i) {
            const Position& position = *staff[size_t(i)];
            const bool woman = position.womenOnly || between(1, 100) <= 65;
            const QString surname = woman ? femaleSurname(surnames[i]) : surnames[i];
            const QString name = ru(woman ? pick(kFemaleNames) : pick(kMaleNames));
            const QString patronymic =
                woman ? femalePatronymic(ru(pick(kPatronymics))) : ru(pick(kPatronymics));
            // One draw per statement: the order of a call's arguments is up to the compiler.
            const int birthYear = between(1962, 1999);
            const int birthMonth = between(1, 12);
            const QDate birth(birthYear, birthMonth, between(1, 28));
            const int startYear = std::min(year, birth.year() + between(22, 26));
            const int positionYear = between(startYear, year);

            personal.append();
            personal.field(fld::Name1).setAsString(surname);
            personal.field(fld::Name2).setAsString(name);
            personal.field(fld::Name3).setAsString(patronymic);
            if (!kNoBirthDate.contains(i))
                personal.field(fld::DR).setAsDate(birth);
            personal.field(fld::KDoljn).setAsInteger(position.code);
            personal.field(fld::NDoljn).setAsString(ru(position.name));
            personal.field(fld::KSpez).setAsInteger(position.diploma);
            personal.field(fld::NSpez).setAsString(ru(kDiplomaSpecialties[position.diploma - 1]));
            if (!kNoStartYear.contains(i))
                personal.field(fld::StajOb).setAsInteger(startYear);
            if (!kNoPositionYear.contains(i))
                personal.field(fld::StajDoljn).setAsInteger(positionYear);
            personal.post();
            Person person;
            person.npp = personal.field(fld::NPP).asInteger();
            person.specialty = ru(position.specialty);
            ++summary_.people;

            if (!kNoCertificate.contains(i)) {
                // A certificate lasts five years: some end within the coming year, the rest later.
                const bool endsSoon = between(1, 3) == 1;
                addCertificate(sertif, person.npp, ru(position.specialty),
                               today_.addDays(endsSoon ? between(10, 360) : between(400, 1800)));
                if (position.secondSpecialty && between(1, 2) == 1)
                    addCertificate(sertif, person.npp, ru(position.secondSpecialty),
                                   today_.addDays(between(30, 1800)));
            }
            if (!kNoEmail.contains(i)) {
                const QString domain = pick({"gb3-med.ru", "mail.ru", "yandex.ru", "gb3-med.ru"});
                QString local = latin(surname) + u'.' + latin(name.left(1)) + latin(patronymic.left(1));
                QString address = local + u'@' + domain;
                for (int n = 2; addresses.contains(address); ++n)
                    address = local + QString::number(n) + u'@' + domain;
                addresses.insert(address);
                email.append();
                email.field(fld::EMAIL).setAsString(address);
                email.field(fld::PersonalKOD).setAsInteger(person.npp);
                email.post();
                ++summary_.emails;
            }
            if (!kNoSnils.contains(i)) {
                qint32 number;
                do
                    number = qint32(rng_.bounded(100000000, snils::kLargestNumber));
                while (numbers.contains(number));
                numbers.insert(number);
                snilsTable.append();
                snilsTable.field(fld::SNILS).setAsString(snils::format(number));
                snilsTable.field(fld::PersonalKOD).setAsInteger(person.npp);
                snilsTable.post();
                ++summary_.snilsNumbers;
            }
            people_.push_back(person);
        }
    }

    void addCertificate(Table& sertif, qint64 npp, const QString& name, const QDate& end) {
        sertif.append();
        sertif.field(fld::DateCL).setAsDate(end);
        sertif.field(fld::Name).setAsString(name);
        sertif.field(fld::PersonalKOD).setAsInteger(npp);
        sertif.post();
        ++summary_.certificates;
    }

    // A programme code: the kind and four digits ("ПК-1234"), or a plain number of six digits, as
    // the codes the base generation's trainees keep.
    QString programmeCode(const QString& vid, bool withKind) {
        QString code;
        do
            code = withKind ? vid + u'-' + QString::number(between(1000, 9999))
                            : QString::number(between(100000, 999999));
        while (codes_.contains(code));
        codes_.insert(code);
        return code;
    }

    void writeCatalogue() {
        Table& zicl = open("NewZicl2023");
        for (int year = kFirstYear; year <= kLastYear; ++year) {
            int order = 0;
            for (const Programme& p : kProgrammes) {
                ++order;
                const QString vid = ru(p.vid);
                zicl.append();
                zicl.field(fld::KZicl).setAsString(programmeCode(vid, order % 3 != 0));
                zicl.field(fld::VidOb).setAsString(vid);
                // The type letter: the sample marks budget places Б and places under a contract Д.
                zicl.field(fld::TypeOb).setAsString(ru(between(1, 4) == 1 ? "Д" : "Б"));
                zicl.field(fld::Hours).setAsInteger(p.hours);
                zicl.field(fld::NZicl).setAsString(ru(p.name));
                zicl.field(fld::Contingent).setAsString(ru(p.contingent));
                zicl.field(fld::RealZicl).setAsFloat(order);
                zicl.field(fld::Year).setAsInteger(year);
                zicl.field(fld::SPECIALY).setAsString(ru(p.specialty));
                zicl.field(fld::ADDSPECIALTY).setAsString(ru(p.additional));
                zicl.field(fld::FOBUCH).setAsString(ru(p.form));
                zicl.post();
                ++summary_.programmes;
            }
        }
    }

    // The check digit of a legal entity's ten-digit taxpayer number.
    static QString withInnCheck(const QString& nine) {
        static const int weights[] = {2, 4, 10, 3, 5, 9, 4, 6, 8};
        int sum = 0;
        for (int i = 0; i < 9; ++i)
            sum += nine[i].digitValue() * weights[i];
        return nine + QString::number(sum % 11 % 10);
    }
    // A bank account with its key (the ninth digit) worked out against the bank's code.
    static QString withAccountKey(const QString& bik, QString account) {
        static const int weights[] = {7, 1, 3};
        account[8] = u'0';
        const QString digits = bik.right(3) + account;
        int sum = 0;
        for (int i = 0; i < digits.size(); ++i)
            sum += digits[i].digitValue() * weights[i % 3] % 10;
        account[8] = QChar(u'0' + (sum % 10) * 3 % 10);
        return account;
    }

    void writeSettings() {
        const Person& boss = people_.front();
        Table& personal = open("Personal");
        personal.locate(fld::NPP, {boss.npp});
        const QString bossName = personal.field(fld::Name1).asString().left(1) +
                                 personal.field(fld::Name1).asString().mid(1).toLower() + u' ' +
                                 personal.field(fld::Name2).asString().left(1) + ru(". ") +
                                 personal.field(fld::Name3).asString().left(1) + u'.';

        Table& config = open("Config");
        config.append();
        config.field(fld::NLPU).setAsString(ru("ГБУЗ «Городская больница № 3»"));
        config.field(fld::Boss).setAsString(bossName);
        config.field(fld::User).setAsString(ru("Кудрявцева О. В."));
        config.field(fld::Phone).setAsString(QStringLiteral("88312345678"));
        config.field(fld::KZajavki).setAsInteger(kApplicationNumber);
        config.post();

        const QString bik = QStringLiteral("042202001");
        Table& details = open("LPUDETAILS");
        details.append();
        details.field(fld::ADRESS).setAsString(ru("603000, г. Нижний Новгород, ул. Больничная, д. 3"));
        details.field(fld::INN).setAsString(withInnCheck(QStringLiteral("526004731")));
        details.field(fld::KPP).setAsString(QStringLiteral("526001001"));
        details.field(fld::BIK).setAsString(bik);
        details.field(fld::RCH).setAsString(withAccountKey(bik, QStringLiteral("03224643220000003200")));
        details.field(fld::LCH).setAsString(withAccountKey(bik, QStringLiteral("40102810945370000024")));
        details.field(fld::BANK).setAsString(
            ru("ВОЛГО-ВЯТСКОЕ ГУ БАНКА РОССИИ//УФК по Нижегородской области г. Нижний Новгород"));
        details.post();
    }

    // Moves to one of the application year's professional development programmes in the
    // specialty; to the year's first programme when the specialty has none.
    void pickProgramme(Table& zicl, const QString& specialty) {
        QList<int> rows;
        for (zicl.first(); !zicl.eof(); zicl.next())
            if (zicl.field(fld::Year).asInteger() == kFirstYear &&
                zicl.field(fld::VidOb).asString() == ru("ПК") &&
                zicl.field(fld::SPECIALY).asString() == specialty)
                rows << zicl.recNo();
        if (rows.isEmpty())
            zicl.locate(fld::Year, {kFirstYear});
        else
            zicl.moveTo(rows[between(0, int(rows.size()) - 1)]);
    }

    // The application and its trainees, each a snapshot of the employee's rows as the adding
    // dialog takes it: typed reads, so an empty date reads as the day zero and an empty start
    // year as 0.
    void writeApplication() {
        Table& applications = open("Zajavki2023");
        applications.append();
        applications.field(fld::KZajavki).setAsFloat(kApplicationNumber);
        applications.field(fld::Year).setAsInteger(kFirstYear);
        applications.post();

        Table& personal = open("Personal");
        Table& sertif = open("Sertif");
        Table& email = open("PEREMAIL");
        Table& snilsTable = open("PERSNILS");
        Table& zicl = open("NewZicl2023");
        Table& sluch = open("Sluch2023");
        const int curYear = today_.year();
        for (int index : kTrainees) {
            const Person& person = people_[size_t(index)];
            personal.locate(fld::NPP, {person.npp});
            const bool hasCertificate = sertif.locate(fld::PersonalKOD, {person.npp});
            const QString specialty = hasCertificate ? sertif.field(fld::Name).asString() : person.specialty;
            pickProgramme(zicl, specialty);

            sluch.append();
            sluch.field(fld::KZajavki).setAsFloat(kApplicationNumber);
            sluch.field(fld::Year).setAsInteger(kFirstYear);
            sluch.field(fld::KZicl).setAsString(zicl.field(fld::KZicl).asString());
            sluch.field(fld::VidOb).setAsString(zicl.field(fld::VidOb).asString());
            sluch.field(fld::FOBUCH).setAsString(zicl.field(fld::FOBUCH).asString());
            sluch.field(fld::Hours).setAsInteger(zicl.field(fld::Hours).asInteger());
            sluch.field(fld::KV).setAsInteger(between(1, 4));
            copyPerson(sluch, personal);
            sluch.field(fld::StajOb).setAsFloat(curYear - personal.field(fld::StajOb).asInteger());
            sluch.field(fld::StajDoljn).setAsFloat(curYear - personal.field(fld::StajDoljn).asInteger());
            sluch.field(fld::KodPersonal).setAsInteger(person.npp);
            if (hasCertificate) {
                sluch.field(fld::DateCl).setAsDate(sertif.field(fld::DateCL).asDate());
                sluch.field(fld::Specialty).setAsString(sertif.field(fld::Name).asString());
            }
            if (email.locate(fld::PersonalKOD, {person.npp}))
                sluch.field(fld::EMAIL).setAsString(email.field(fld::EMAIL).asString());
            if (snilsTable.locate(fld::PersonalKOD, {person.npp}))
                sluch.field(fld::SNILS).setAsString(snilsTable.field(fld::SNILS).asString());
            sluch.post();
            ++summary_.trainees;
        }
    }

    // The training people had in past years: none to three courses each, in their specialty. Drawn
    // from a generator of its own, so that the rest of the sample stays what it was.
    void writeTrainingHistory() {
        QRandomGenerator history(kSeed + 1);
        auto draw = [&history](int lo, int hi) { return int(history.bounded(lo, hi + 1)); };
        Table& trained = open("Trained");
        for (const Person& person : people_) {
            const int courses = draw(0, 3);
            for (int i = 0; i < courses; ++i) {
                const Programme* programme = &kProgrammes[history.bounded(quint32(std::size(kProgrammes)))];
                for (const Programme& p : kProgrammes)
                    if (ru(p.specialty) == person.specialty && draw(0, 1) == 0)
                        programme = &p;
                trained.append();
                trained.field(fld::KZicl).setAsString(QString::number(draw(100000, 999999)));
                trained.field(fld::VidOb).setAsString(ru(programme->vid));
                trained.field(fld::Hours).setAsInteger(programme->hours);
                trained.field(fld::Year).setAsInteger(today_.year() - draw(1, 9));
                trained.field(fld::Kod_Personal).setAsInteger(person.npp);
                trained.post();
                ++summary_.trainingRecords;
            }
        }
    }

    // An application of each earlier generation, as the old program left them: the base one with
    // the trainees' certificates and e-mail addresses in rows of their own, the 2021 one with
    // their SNILS numbers so. Each trainee is a snapshot as of the application's year, with one
    // of the catalogue's programmes (the base generation's codes have at most six characters).
    // Drawn from a generator of its own, so that the rest of the sample stays what it was.
    void writeEarlierApplications() {
        QRandomGenerator archive(kSeed + 2);
        auto draw = [&archive](int lo, int hi) { return int(archive.bounded(lo, hi + 1)); };
        Table& personal = open("Personal");
        Table& sertif = open("Sertif");
        Table& email = open("PEREMAIL");
        Table& snilsTable = open("PERSNILS");
        Table& zicl = open("NewZicl2023");
        struct Offered {
            QString code, vid, type;
            int hours;
        };
        std::vector<Offered> shortCodes, allCodes;
        for (zicl.first(); !zicl.eof(); zicl.next()) {
            const Offered p{zicl.field(fld::KZicl).asString(), zicl.field(fld::VidOb).asString(),
                            zicl.field(fld::TypeOb).asString(), int(zicl.field(fld::Hours).asInteger())};
            allCodes.push_back(p);
            if (p.code.size() <= 6)
                shortCodes.push_back(p);
        }

        const struct {
            const char* applications;
            const char* trainees;
            int year;
            const int* people;
            size_t count;
            bool base;
        } generations[] = {
            {"Zajavki", "Sluch", kBaseYear, kBaseTrainees, std::size(kBaseTrainees), true},
            {"Zajavki2021", "Sluch2021", k2021Year, k2021Trainees, std::size(k2021Trainees), false}};
        for (const auto& g : generations) {
            Table& applications = open(g.applications);
            applications.append();
            applications.field(fld::KZajavki).setAsFloat(kApplicationNumber);
            applications.field(fld::Year).setAsInteger(g.year);
            applications.post();
            Table& sluch = open(g.trainees);
            const std::vector<Offered>& offered = g.base ? shortCodes : allCodes;
            for (size_t i = 0; i < g.count; ++i) {
                const Person& person = people_[size_t(g.people[i])];
                personal.locate(fld::NPP, {person.npp});
                const bool hasCertificate = sertif.locate(fld::PersonalKOD, {person.npp});
                const bool hasEmail = email.locate(fld::PersonalKOD, {person.npp});
                const bool hasSnils = snilsTable.locate(fld::PersonalKOD, {person.npp});
                const Offered& programme = offered[size_t(draw(0, int(offered.size()) - 1))];
                // The certificate as it was then: one that ended a few years after the application.
                const QDate certificateEnd(g.year + draw(1, 4), draw(1, 12), draw(1, 28));
                auto yearsBy = [&](const char* startField) {
                    return std::max(0, g.year - int(personal.field(startField).asInteger()));
                };

                sluch.append();
                sluch.field(fld::KZajavki).setAsFloat(kApplicationNumber);
                sluch.field(fld::Year).setAsInteger(g.year);
                sluch.field(fld::KZicl).setAsString(programme.code);
                sluch.field(fld::VidOb).setAsString(programme.vid);
                sluch.field(fld::TypeOb).setAsString(programme.type);
                sluch.field(fld::Hours).setAsInteger(programme.hours);
                sluch.field(fld::KV).setAsInteger(draw(1, 4));
                copyPerson(sluch, personal);
                sluch.field(fld::StajOb).setAsFloat(yearsBy("StajOb"));
                sluch.field(fld::StajDoljn).setAsFloat(yearsBy("StajDoljn"));
                if (!g.base) {
                    if (hasCertificate) {
                        sluch.field(fld::DateCl).setAsDate(certificateEnd);
                        sluch.field(fld::Specialty).setAsString(sertif.field(fld::Name).asString());
                    }
                    sluch.field(fld::EMAIL)
                        .setAsString(hasEmail ? email.field(fld::EMAIL).asString() : QString());
                }
                sluch.post();
                const qint64 npp = sluch.field(fld::NPP).asInteger();
                ++summary_.archivedTrainees;

                auto detail = [&](const char* table, const char* link,
                                  const QList<std::pair<const char*, QVariant>>& values) {
                    Table& rows = open(table);
                    rows.append();
                    for (const auto& [field, value] : values)
                        rows.field(field).setValue(value);
                    rows.field(link).setAsInteger(npp);
                    rows.post();
                };
                if (g.base) {
                    if (hasCertificate)
                        detail("SLSertif", "PersonalKOD",
                               {{"DateCL", certificateEnd}, {"Name", sertif.field(fld::Name).asString()}});
                    detail("SLUCHEMAIL", "SLUCHKOD",
                           {{"EMAIL", hasEmail ? email.field(fld::EMAIL).asString() : QString()}});
                } else if (hasSnils) {
                    detail("SLUCHSNILS", "SLUCHKOD", {{"SNILS", snilsTable.field(fld::SNILS).asString()}});
                }
            }
        }
    }

    Store& store_;
    QDate today_;
    QRandomGenerator rng_;
    Summary summary_;
    std::vector<Person> people_;
    QSet<QString> codes_;
    std::map<QString, std::unique_ptr<Table>> tables_;
};

} // namespace

QString Summary::describe(const QString& place) const {
    const QString counts =
        QStringLiteral("сотрудников — %1, сертификатов — %2, должностей — %3, специальностей — %4, "
                       "программ обучения на %5–%6 годы — %7, заявка № %8 на %5 год, "
                       "слушателей в ней — %9")
            .arg(people)
            .arg(certificates)
            .arg(positions)
            .arg(specialties)
            .arg(kFirstYear)
            .arg(kLastYear)
            .arg(programmes)
            .arg(kApplicationNumber)
            .arg(trainees);
    const QString archive = QStringLiteral("; в архиве — заявки № %1 на %2 и %3 годы, слушателей в них — %4")
                                .arg(kApplicationNumber)
                                .arg(kBaseYear)
                                .arg(k2021Year)
                                .arg(archivedTrainees);
    // Both at once, so that a '%' in the folder's name is left as it is.
    return QStringLiteral("Демонстрационный пример создан в %1: %2").arg(place, counts + archive);
}

QString refusal(Store& store) {
    for (const TableLayout& layout : layouts::all()) {
        // The export tables are scratch space, emptied before every export.
        if (layout.sqlName.startsWith(QStringLiteral("TempZ")))
            continue;
        Table table(store, layout.sqlName, layout.sqlName);
        table.open();
        if (table.isEmpty())
            continue;
        QString what;
        if (layout.sqlName == QStringLiteral("Personal"))
            what = QStringLiteral("сотрудники");
        else if (layout.sqlName.startsWith(QStringLiteral("Zajavki")))
            what = QStringLiteral("заявки");
        else if (layout.sqlName.startsWith(QStringLiteral("Sluch")))
            what = QStringLiteral("слушатели заявок");
        else
            what = QStringLiteral("записи в таблице %1").arg(layout.fileName);
        return QStringLiteral(
                   "В базе данных %1 уже есть %2: демонстрационный пример создаётся только в новой базе")
            .arg(store.displayPath(), what);
    }
    return {};
}

Summary fill(Store& store, const QDate& today) {
    const QString why = refusal(store);
    if (!why.isEmpty())
        throw DbError(why);
    return Filler(store, today).run();
}

} // namespace demo
