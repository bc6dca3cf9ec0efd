// The staff register of 10,000 people, each with two certificates, three training rows, an e-mail
// and a SNILS: one keystroke of the search by surname, and one step to the next person, each with
// the side panel following (the details read as the panel shows them). Target: under 2 ms each.
#include "BenchRunner.h"

#include "core/Prompter.h"
#include "core/SharedState.h"
#include "data/DataModule.h"
#include "data/SqliteStore.h"

#include <memory>
#include <QDir>

namespace {

struct Register {
    std::unique_ptr<Store> store;
    SharedState state;
    FixedPrompter prompter{Prompter::Answer::Yes};
    std::unique_ptr<DataModule> dm;
    QStringList prefixes;
    int typed = 0;

    void ensure() {
        if (dm)
            return;
        const QString path =
            QString::fromStdString(bench::scratchDir()) + QStringLiteral("/personnel.sqlite");
        QFile::remove(path);
        store = SqliteStore::open(path, SqliteStore::Access::Exclusive);
        store->exec(QStringLiteral(
            "BEGIN;"
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000) "
            "INSERT INTO Personal (Name1, Name2, Name3, DR, KDoljn, NDoljn, KSpez, NSpez, StajOb, StajDoljn) "
            "SELECT 'ФАМИЛИЯ' || (i % 4999), 'ИМЯ' || (i % 31), 'ОТЧЕСТВО', '1980-01-01', i % 30, 'ВРАЧ', i "
            "% 12, "
            "'ЛЕЧЕБНОЕ ДЕЛО', 2000, 2010 FROM n;"
            "INSERT INTO PEREMAIL (EMAIL, PersonalKOD) SELECT 'p' || NPP || '@mail.ru', NPP FROM Personal;"
            "INSERT INTO PERSNILS (SNILS, PersonalKOD) SELECT '112-233-445 95', NPP FROM Personal;"
            "INSERT INTO Sertif (DateCL, Name, PersonalKOD) SELECT '2027-01-31', 'Терапия', NPP FROM "
            "Personal;"
            "INSERT INTO Sertif (DateCL, Name, PersonalKOD) SELECT '2028-01-31', 'Хирургия', NPP FROM "
            "Personal;"
            "WITH RECURSIVE k(j) AS (SELECT 1 UNION ALL SELECT j + 1 FROM k WHERE j < 3) "
            "INSERT INTO Trained (KZicl, VidOb, Hours, \"Year\", Kod_Personal) "
            "SELECT 'ПК-' || j, 'ПК', 36, 2020 + j, NPP FROM Personal, k;"
            "COMMIT;"));
        state.CurYear = 2026;
        dm = std::make_unique<DataModule>(*store, state, prompter);
        dm->openAllTables();
        // A surname typed letter by letter, then another.
        for (const QString& surname : {QStringLiteral("ФАМИЛИЯ2718"), QStringLiteral("ФАМИЛИЯ4321")})
            for (int n = 1; n <= surname.size(); ++n)
                prefixes << surname.left(n);
    }

    // What the side panel shows of the current person: e-mail, SNILS, certificates, training.
    void readSidePanel() {
        volatile qsizetype sink = 0;
        sink = sink + dm->field(QStringLiteral("tblPerEmailEMAIL")).displayText().size();
        sink = sink + dm->field(QStringLiteral("tblPerSnilsSNILS")).displayText().size();
        for (Table* details : {dm->tblSertif, dm->tblTrained})
            for (int row = 0; row < details->recordCount(); ++row)
                for (int f = 0; f < details->storedFieldCount(); ++f)
                    sink = sink + details->valueAt(row, f).toString().size();
        sink = sink + dm->field(QStringLiteral("tblPersonalStajO1")).displayText().size();
        if (dm->tblSertif->recordCount() != 2 || dm->tblTrained->recordCount() != 3)
            qFatal("the side panel does not follow the current person");
    }

    void keystroke() {
        ensure();
        dm->tblPersonal->findNearest({prefixes[typed++ % prefixes.size()]});
        readSidePanel();
    }

    void step() {
        ensure();
        dm->tblPersonal->next();
        if (dm->tblPersonal->eof())
            dm->tblPersonal->first();
        readSidePanel();
    }
};

Register& office() {
    static Register r;
    return r;
}

const bench::Registrar keystroke({"personnel one keystroke of the search, 10000 people",
                                  [] { office().keystroke(); },
                                  {},
                                  41,
                                  [] { office().ensure(); }});
const bench::Registrar step({"personnel one step through the register, 10000 people",
                             [] { office().step(); },
                             {},
                             41,
                             [] { office().ensure(); }});

} // namespace
