// The applications' multi-row actions on a register of 10,000 people: marking 1,000 of them with
// the space bar and adding them to an application, and deleting an application of 1,000 trainees.
// Each is one user action; the target is under 0.2 s of work each.
#include "BenchRunner.h"

#include "applications/ApplicationRules.h"
#include "data/DataModule.h"
#include "data/Store.h"
#include "core/Prompter.h"
#include "core/SharedState.h"

#include <QDir>
#include <memory>

namespace {

struct Office {
    std::unique_ptr<Store> store;
    SharedState state;
    FixedPrompter prompter{Prompter::Answer::Yes};
    std::unique_ptr<TDM> dm;
    const Generation& g = Generation::current();

    void ensure() {
        if (dm)
            return;
        const QString path = QString::fromStdString(bench::scratchDir()) + QStringLiteral("/applications.sqlite");
        QFile::remove(path);
        store = Store::open(path, Store::Access::Exclusive); // as the program opens it
        store->exec(QStringLiteral(
            "BEGIN;"
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000) "
            "INSERT INTO Personal (Name1, Name2, Name3, DR, KDoljn, KSpez, StajOb, StajDoljn) "
            "SELECT 'ФАМИЛИЯ' || (i % 997), 'ИМЯ' || (i % 31), 'ОТЧЕСТВО', '1980-01-01', i % 30, i % 12, 2000, 2010 FROM n;"
            "INSERT INTO PEREMAIL (EMAIL, PersonalKOD) SELECT 'p' || NPP || '@mail.ru', NPP FROM Personal;"
            "INSERT INTO PERSNILS (SNILS, PersonalKOD) SELECT '112-233-445 95', NPP FROM Personal;"
            "INSERT INTO Sertif (DateCL, Name, PersonalKOD) SELECT '2027-01-31', 'Терапия', NPP FROM Personal;"
            "INSERT INTO Sertif (DateCL, Name, PersonalKOD) SELECT '2028-01-31', 'Хирургия', NPP FROM Personal;"
            "INSERT INTO Config (NLPU, Boss, \"User\", KZajavki) VALUES ('Б', 'Р', 'И', 116);"
            "INSERT INTO Zajavki2023 (KZajavki, \"Year\") VALUES (116, 2026);"
            "COMMIT;"));
        state.CurYear = 2026;
        dm = std::make_unique<TDM>(*store, state, prompter);
        for (Dataset* ds : dm->datasets())
            if (qobject_cast<Table*>(ds))
                ds->open();
        state.SelKZicl = QStringLiteral("ПК-1234");
        state.SelVidOb = QStringLiteral("ПК");
        state.SelFOBUCH = QStringLiteral("очн");
        state.SelHours = 36;
    }

    void resetApplication116() {
        ensure();
        applications::clearMarks(*dm);
        store->exec(QStringLiteral("DELETE FROM Sluch2023"));
        dm->tblSluch2023->reread();
        applications::locateApplication(*dm, g, 116, 2026);
    }

    void markAndAdd() {
        for (int i = 0; i < 1000; ++i) {
            dm->tblPersonal->moveTo(i * 10);
            applications::toggleMark(*dm);
        }
        if (applications::addMarkedPeople(*dm, g, state, 1) != 1000)
            qFatal("the bench added the wrong number of trainees");
    }

    void makeApplicationOf1000() {
        ensure();
        store->exec(QStringLiteral(
            "BEGIN; DELETE FROM Zajavki2023 WHERE KZajavki = 200; DELETE FROM Sluch2023 WHERE KZajavki = 200;"
            "INSERT INTO Zajavki2023 (KZajavki, \"Year\") VALUES (200, 2026);"
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
            "INSERT INTO Sluch2023 (KZajavki, \"Year\", Name1, KZicl, KV) SELECT 200, 2026, 'СЛУШАТЕЛЬ' || i, 'ПК-1', 1 FROM n;"
            "COMMIT;"));
        dm->tblZajavki2023->reread();
        applications::locateApplication(*dm, g, 200, 2026);
    }

    void deleteApplication() {
        if (dm->tblSluch2023->recordCount() != 1000)
            qFatal("the bench application has the wrong number of trainees");
        applications::deleteApplication(*dm, g, state, prompter);
    }
};

Office& office() {
    static Office o;
    return o;
}

const bench::Registrar markAndAdd({"applications mark and add 1000", [] { office().markAndAdd(); }, {}, 5,
                                   [] { office().resetApplication116(); }});
const bench::Registrar deleteApplication({"applications delete 1000 trainees", [] { office().deleteApplication(); },
                                          {}, 5, [] { office().makeApplicationOf1000(); }});

} // namespace
