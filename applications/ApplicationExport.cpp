#include "applications/ApplicationExport.h"

#include "data/DataModule.h"
#include "data/DbError.h"
#include "data/Store.h"
#include "data/paradox/ParadoxError.h"
#include "data/paradox/ParadoxWriter.h"
#include "core/AppContext.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

namespace applications {

QString defaultExportName(const TDM& dm, const Generation& g) {
    const Table& trainees = g.traineesTable(dm);
    QString number = trainees.isEmpty() ? QString() : trainees.field(QStringLiteral("KZajavki")).displayText();
    const int comma = number.indexOf(u',');
    if (comma >= 0)
        number[comma] = u'.';
    const QString year = g.applicationsTable(dm).field(QStringLiteral("Year")).asString();
    const int point = number.indexOf(u'.');
    if (point >= 0)
        return QStringLiteral("ZES%1_%2_%3").arg(number.left(point), number.mid(point + 1), year);
    return QStringLiteral("ZES%1_%2").arg(number, year);
}

QList<QVariantList> exportRows(const TDM& dm, const Generation& g) {
    Table& t = g.traineesTable(dm);
    auto f = [&t](const char* name) -> Field& { return t.field(QString::fromLatin1(name)); };
    QList<QVariantList> rows;
    rows.reserve(t.recordCount());
    t.first();
    while (!t.eof()) {
        rows << QVariantList{f("KZajavki").asFloat(), f("Name1").asString(),   f("Name2").asString(),
                             f("Name3").asString(),   f("KZicl").asString(),   f("KV").asInteger(),
                             f("DR").asDate(),        f("KDoljn").asInteger(), f("KSpez").asInteger(),
                             f("StajOb").asFloat(),   f("StajDoljn").asFloat(), f("Year").asInteger(),
                             f("VidOb").asString(),   f("Hours").asInteger(),  f("DateCl").asDate(),
                             f("Specialty").asString(), f("EMAIL").asString(), f("SNILS").asString(),
                             f("FOBUCH").asString()};
        t.next();
    }
    return rows;
}

QByteArray encodeExport(const TDM&, const Generation&, const QList<QVariantList>& rows) {
    try {
        return encodeParadoxTable(layouts::tempZ2023(), rows);
    } catch (const ParadoxError& e) {
        // The codec names the row; the user knows the trainee.
        static const QRegularExpression rowPrefix(QStringLiteral("^Строка (\\d+)(.*)$"),
                                                  QRegularExpression::DotMatchesEverythingOption);
        const auto m = rowPrefix.match(e.message());
        if (!m.hasMatch())
            throw DbError(e.message());
        const QVariantList& row = rows.value(m.captured(1).toInt() - 1);
        const QString name = QStringList{row.value(1).toString(), row.value(2).toString(), row.value(3).toString()}
                                 .join(u' ')
                                 .simplified();
        throw DbError(QStringLiteral("Заявка не выгружена. Слушатель %1 (строка %2)%3")
                          .arg(name, m.captured(1), m.captured(2)));
    }
}

void fillWorkingTable(const TDM& dm, const QList<QVariantList>& rows) {
    Table& work = *dm.tblTempZ2023;
    const TableLayout& layout = layouts::tempZ2023();
    Store::Transaction transaction(dm.store());
    work.close();
    work.emptyTable();
    work.open();
    for (const QVariantList& row : rows) {
        work.append();
        for (int i = 0; i < layout.fields.size(); ++i)
            work.field(i).setValue(row[i]);
        work.post();
    }
    work.close();
    transaction.commit();
}

void writeExportFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw DbError(QStringLiteral("При копировании таблицы BDE сгенерировал ошибку\n%1: %2")
                          .arg(QDir::toNativeSeparators(path), file.errorString()));
}

bool exportApplication(AppContext& app, const Generation& g) {
    TDM& dm = *app.DM;
    const QString name = defaultExportName(dm, g);
    const QList<QVariantList> rows = exportRows(dm, g);
    const QByteArray bytes = encodeExport(dm, g, rows); // every trainee checked before anything is written
    fillWorkingTable(dm, rows);
    QDir().mkpath(app.root.exportDir());
    const QString chosen =
        app.prompter.saveFileName(QStringLiteral("Выгрузка заявки для ТОВЕКС"), app.root.exportDir(), name);
    if (chosen.isEmpty())
        return false;
    const QString target = chosen + QStringLiteral(".db");
    if (QFileInfo::exists(target) &&
        app.prompter.ask(QStringLiteral("Файл существует!"), QStringLiteral("Заменить существующий файл на новый?"),
                         Prompter::Icon::Warning, Prompter::Buttons::OkCancel) != Prompter::Answer::Ok)
        return false;
    writeExportFile(target, bytes);
    return true;
}

} // namespace applications
