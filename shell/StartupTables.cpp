#include "shell/StartupTables.h"

#include "data/DataModule.h"
#include "data/DbError.h"

const QList<StartupTable>& startupTables() {
    // Two rows spell the table's name differently in their two texts, as users know them.
    static const QList<StartupTable> list = [] {
        QList<StartupTable> l;
        auto add = [&](const char* object, const char* progressName = nullptr,
                       const char* errorName = nullptr) {
            const QString o = QString::fromLatin1(object);
            l << StartupTable{
                o, QStringLiteral("Открытие ") + (progressName ? QString::fromLatin1(progressName) : o),
                QStringLiteral("Ошибка при открытии ") + (errorName ? QString::fromLatin1(errorName) : o)};
        };
        for (const char* t :
             {"tblPersonal", "tblTrained", "tblDoljn", "tblSpez", "tblZajavki", "tblZajavki2021",
              "tblZajavki2023", "tblSluch", "tblSluch2021", "tblSluch2023", "tblConfig"})
            add(t);
        add("tblLPUDETAILS", "tblLPUDetails", "tblLPUDETAILS");
        for (const char* t : {"tblNewZicl", "tblTempZ", "tblTempZ2023", "tblSertif", "tblSLSertif",
                              "tblSpecialty", "tblPerEmail"})
            add(t);
        add("tblSlEmail", "tblSlEmail", "tblSLEmail");
        add("tblPerSnils");
        add("tblSluchSnils");
        return l;
    }();
    return list;
}

void openStartupTables(DataModule& dm, const std::function<void(const StartupTable&)>& progress,
                       const std::function<void(const StartupTable&, const QString&)>& failed) {
    for (const StartupTable& t : startupTables()) {
        progress(t);
        try {
            dm.dataset(t.object)->open();
        } catch (const DbError& e) {
            failed(t, e.message());
        }
    }
}
