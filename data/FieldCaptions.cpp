#include "data/FieldCaptions.h"

#include <QHash>

namespace captions {

namespace {

// Captions that hold wherever the field occurs.
const QHash<QString, QString>& common() {
    static const QHash<QString, QString> map{
        {"NPP", "номер записи"},
        {"Name1", "фамилия"},
        {"Name2", "имя"},
        {"Name3", "отчество"},
        {"DR", "дата рождения"},
        {"DataRojd", "дата рождения"},
        {"KDoljn", "код должности"},
        {"Doljn", "код должности"},
        {"NDoljn", "должность"},
        {"KSpez", "код специальности по диплому"},
        {"Spez", "код специальности по диплому"},
        {"NSpez", "специальность по диплому"},
        {"StajOb", "общемедицинский стаж"},
        {"Stajg", "общемедицинский стаж"},
        {"StajDoljn", "стаж по специальности"},
        {"StajgZ", "стаж по специальности"},
        {"StajO1", "общий стаж"},
        {"StajD1", "стаж по специальности"},
        {"PR", "отметка"},
        {"KZicl", "код программы"},
        {"Zicl", "код программы"},
        {"ZiclObr", "код программы обращения"},
        {"VidOb", "вид обучения"},
        {"TypeOb", "тип обучения"},
        {"TypeObObr", "тип обучения обращения"},
        {"Hours", "объём часов"},
        {"Year", "год"},
        {"YearObr", "год обращения"},
        {"BazaObr", "база обращения"},
        {"Kod_Personal", "номер сотрудника"},
        {"PersonalKOD", "номер сотрудника"},
        {"KodPersonal", "номер сотрудника"},
        {"SLUCHKOD", "номер слушателя"},
        {"DateCL", "дата окончания сертификата или аккредитации"},
        {"DateCl", "дата окончания сертификата или аккредитации"},
        {"Specialty", "специальность сертификата"},
        {"EMAIL", "адрес электронной почты"},
        {"SNILS", "СНИЛС"},
        {"KV", "квартал"},
        {"Kv", "квартал"},
        {"KZajavki", "номер заявки"},
        {"Zajavka", "номер заявки"},
        {"FOBUCH", "форма обучения"},
        {"NZicl", "название программы"},
        {"Contingent", "контингент"},
        {"RealZicl", "порядковый номер программы"},
        {"SPECIALY", "основная специальность"},
        {"ADDSPECIALTY", "дополнительные специальности"},
        {"NLPU", "название организации"},
        {"Boss", "руководитель"},
        {"User", "исполнитель"},
        {"Phone", "телефон"},
        {"ADRESS", "адрес"},
        {"INN", "ИНН"},
        {"KPP", "КПП"},
        {"BIK", "БИК"},
        {"RCH", "расчётный счёт"},
        {"LCH", "лицевой счёт"},
        {"BANK", "банк"},
        {"MAXZAJAVKI", "наибольший номер заявки"},
    };
    return map;
}

// Captions that depend on the table: "table/field".
const QHash<QString, QString>& particular() {
    static const QHash<QString, QString> map{
        {"Config/KZajavki", "номер договора"},
        // The register keeps the years service began; trainee rows keep the years of service.
        {"Personal/StajOb", "год начала работы"},
        {"Personal/StajDoljn", "год начала работы в должности"},
        {"Sertif/Name", "специальность сертификата"},
        {"SLSertif/Name", "специальность сертификата"},
        {"Specialty/Name", "название специальности"},
        {"Trained/Year", "год обучения"},
        {"Zajavki/Year", "учебный год"},
        {"Zajavki2021/Year", "учебный год"},
        {"Zajavki2023/Year", "учебный год"},
        {"Sluch/Year", "учебный год"},
        {"Sluch2021/Year", "учебный год"},
        {"Sluch2023/Year", "учебный год"},
        {"TempZ/Year", "учебный год"},
        {"TempZ2023/Year", "учебный год"},
        {"NewZicl2023/Year", "год каталога"},
        {"NewZicl2021/Year", "год каталога"},
        {"NewZicl2023/KZicl", "код программы"},
    };
    return map;
}

struct TableText {
    const char* what;
    const char* empty;
};

const QHash<QString, TableText>& tables() {
    static const QHash<QString, TableText> map{
        {"Personal", {"список сотрудников", "в списке сотрудников никого нет"}},
        {"Trained", {"учёба сотрудника", "у сотрудника нет записей об учёбе"}},
        {"Sertif", {"сертификаты сотрудника", "у сотрудника нет сертификатов"}},
        {"PEREMAIL", {"адрес электронной почты сотрудника", "у сотрудника нет адреса электронной почты"}},
        {"PERSNILS", {"СНИЛС сотрудника", "у сотрудника нет СНИЛС"}},
        {"DOLJNOST", {"справочник должностей", "справочник должностей пуст"}},
        {"SPEZ", {"справочник специальностей по диплому", "справочник специальностей по диплому пуст"}},
        {"Specialty", {"справочник специальностей", "справочник специальностей пуст"}},
        {"Config", {"параметры организации", "параметры организации не заданы"}},
        {"LPUDETAILS", {"реквизиты организации", "реквизиты организации не заданы"}},
        {"NewZicl2023", {"каталог программ", "каталог программ пуст"}},
        {"NewZicl2021", {"каталог программ прежних лет", "каталог программ прежних лет пуст"}},
        {"Zajavki", {"список заявок до 2021 года", "заявок нет"}},
        {"Zajavki2021", {"список заявок на 2022 год", "заявок нет"}},
        {"Zajavki2023", {"список заявок", "заявок нет"}},
        {"Sluch", {"слушатели заявки", "в заявке нет слушателей"}},
        {"Sluch2021", {"слушатели заявки", "в заявке нет слушателей"}},
        {"Sluch2023", {"слушатели заявки", "в заявке нет слушателей"}},
        {"SLSertif", {"сертификат слушателя", "у слушателя нет сертификата"}},
        {"SLUCHEMAIL", {"адрес электронной почты слушателя", "у слушателя нет адреса электронной почты"}},
        {"SLUCHSNILS", {"СНИЛС слушателя", "у слушателя нет СНИЛС"}},
        {"TempZ", {"рабочая таблица выгрузки", "рабочая таблица выгрузки пуста"}},
        {"TempZ2023", {"рабочая таблица выгрузки", "рабочая таблица выгрузки пуста"}},
    };
    return map;
}

} // namespace

QString field(const QString& table, const QString& fieldName) {
    const QString specific = particular().value(table + u'/' + fieldName);
    if (!specific.isEmpty())
        return specific;
    return common().value(fieldName, fieldName);
}

QString table(const QString& table) {
    const auto it = tables().find(table);
    return it == tables().end() ? QStringLiteral("таблица %1").arg(table) : QString::fromUtf8(it->what);
}

QString emptyTable(const QString& table) {
    const auto it = tables().find(table);
    return it == tables().end() ? QStringLiteral("таблица %1 пуста").arg(table)
                                : QString::fromUtf8(it->empty);
}

} // namespace captions
