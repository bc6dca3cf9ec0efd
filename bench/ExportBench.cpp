// Exporting an application of 10,000 trainees (reading them, checking and encoding every row,
// refilling the working table, writing the file) against a plain write of the same bytes.
#include "BenchRunner.h"

#include "applications/ApplicationExport.h"
#include "applications/ApplicationRules.h"
#include "data/DataModule.h"
#include "data/Store.h"
#include "core/Prompter.h"
#include "core/SharedState.h"

#include <QFile>
#include <QSaveFile>
#include <memory>

namespace {

struct BigApplication {
    std::unique_ptr<Store> store;
    SharedState state;
    FixedPrompter prompter{Prompter::Answer::No};
    std::unique_ptr<TDM> dm;
    const Generation& g = Generation::current();
    QString target;
    QByteArray sameBytes;

    void ensure() {
        if (dm)
            return;
        const QString dir = QString::fromStdString(bench::scratchDir());
        QFile::remove(dir + QStringLiteral("/export.sqlite"));
        store = Store::open(dir + QStringLiteral("/export.sqlite"), Store::Access::Exclusive);
        store->exec(QStringLiteral(
            "BEGIN; INSERT INTO Zajavki2023 (KZajavki, \"Year\") VALUES (116, 2026);"
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000) "
            "INSERT INTO Sluch2023 (KZajavki, Name1, Name2, Name3, KZicl, VidOb, Hours, KV, DR, KDoljn, KSpez, StajOb, "
            "StajDoljn, \"Year\", EMAIL, DateCl, Specialty, SNILS, FOBUCH) "
            "SELECT 116, 'ФАМИЛИЯ' || i, 'ИМЯ', 'ОТЧЕСТВО', 'ПК-' || (i % 500), 'ПК', 36, 1 + i % 4, '1980-05-17', "
            "i % 300, i % 12, 25, 16, 2026, 'p' || i || '@mail.ru', '2027-01-31', 'Терапия', '112-233-445 95', 'очн' "
            "FROM n; COMMIT;"));
        dm = std::make_unique<TDM>(*store, state, prompter);
        for (Table* t : {dm->tblZajavki2023, dm->tblSluch2023})
            t->open();
        applications::locateApplication(*dm, g, 116, 2026);
        target = dir + QStringLiteral("/ZES116_2026.db");
        sameBytes = applications::encodeExport(*dm, g, applications::exportRows(*dm, g));
    }

    void exportFile() {
        const QList<QVariantList> rows = applications::exportRows(*dm, g);
        const QByteArray bytes = applications::encodeExport(*dm, g, rows);
        applications::fillWorkingTable(*dm, rows);
        applications::writeExportFile(target, bytes);
    }

    void plainWrite() {
        QSaveFile file(target + QStringLiteral(".plain"));
        file.open(QIODevice::WriteOnly);
        file.write(sameBytes);
        file.commit();
    }
};

BigApplication& big() {
    static BigApplication b;
    b.ensure();
    return b;
}

const bench::Registrar exportBench({"export 10000 trainees", [] { big().exportFile(); }, [] { big().plainWrite(); },
                                    5});

} // namespace
