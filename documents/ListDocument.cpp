#include "documents/ListDocument.h"

#include "core/RootPaths.h"
#include "data/DataModule.h"
#include "data/DbError.h"
#include "spreadsheet/DocumentFolder.h"
#include "spreadsheet/Templates.h"

#include <algorithm>
#include <limits>

namespace documents {

int ListDocumentSettings::lastColumn() const {
    int last = 1;
    for (const ListColumn& c : columns)
        last = std::max(last, c.column);
    return last;
}

const ListDocumentSettings& ListDocumentSettings::programmes() {
    using Kind = ListColumn::Kind;
    static const ListDocumentSettings settings{
        QStringLiteral("Zicl2021"),
        QStringLiteral("qNewZicl"),
        5,
        {
            {1, Kind::RunningNumber, {}},
            {2, Kind::Text, QStringLiteral("KZicl")},
            {3, Kind::Text, QStringLiteral("VidOb")},
            {4, Kind::Text, QStringLiteral("Hours")},
            {5, Kind::Text, QStringLiteral("NZicl")},
            {6, Kind::Text, QStringLiteral("Contingent")},
            {7, Kind::Text, QStringLiteral("SPECIALY")},
            {8, Kind::Text, QStringLiteral("ADDSPECIALTY")},
            {9, Kind::Integer, QStringLiteral("Year")},
        },
        QStringLiteral("Программы обучения"),
    };
    return settings;
}

const ListDocumentSettings& ListDocumentSettings::trainingPlan() {
    using Kind = ListColumn::Kind;
    static const ListDocumentSettings settings{
        QStringLiteral("Plan"),
        QString(), // rows of the plan, given by its window or command
        4,
        {
            {1, Kind::RunningNumber, {}},
            {2, Kind::Text, QStringLiteral("FullName")},
            {3, Kind::Text, QStringLiteral("Position")},
            {4, Kind::Text, QStringLiteral("DiplomaSpecialty")},
            {5, Kind::Date, QStringLiteral("CertificateEnd")},
            {6, Kind::Text, QStringLiteral("CertificateSpecialty")},
            {7, Kind::Integer, QStringLiteral("DaysLeft")},
            {8, Kind::Integer, QStringLiteral("Quarter")},
            {9, Kind::Text, QStringLiteral("Programme")},
        },
        QStringLiteral("План обучения"),
        QStringLiteral("A1"),
    };
    return settings;
}

const ListDocumentSettings& ListDocumentSettings::positions() {
    using Kind = ListColumn::Kind;
    static const ListDocumentSettings settings{
        QStringLiteral("Doljn"),
        QStringLiteral("tblDoljn"),
        4,
        {
            {1, Kind::Text, QStringLiteral("KDoljn")},
            {2, Kind::Text, QStringLiteral("NDoljn")},
        },
        QStringLiteral("Должности"),
    };
    return settings;
}

namespace {

void writeCell(Workbook& book, const CellRef& cell, ListColumn::Kind kind, int number,
               const QVariant& value) {
    switch (kind) {
    case ListColumn::Kind::RunningNumber:
        book.setInteger(cell, number);
        break;
    case ListColumn::Kind::Text:
        book.setText(cell, value.toString());
        break;
    case ListColumn::Kind::Integer: {
        if (value.isNull()) {
            book.setText(cell, QString());
            break;
        }
        const qint64 v = value.toLongLong();
        if (v < std::numeric_limits<qint32>::min() || v > std::numeric_limits<qint32>::max())
            book.setNumber(cell, double(v));
        else
            book.setInteger(cell, qint32(v));
        break;
    }
    case ListColumn::Kind::Date: {
        if (value.typeId() == QMetaType::QString) { // a word in place of a date ("нет сертификата")
            book.setText(cell, value.toString());
            break;
        }
        const QDate d = value.toDate();
        book.setDate(cell, d == Field::zeroDate() ? QDate() : d);
        break;
    }
    }
}

// The template read, the list's rows formatted like its first before anything is written.
ListDocument startList(const ListDocumentSettings& settings, const QString& templatesDir, int count,
                       const QString& title) {
    installDefaultTemplates(templatesDir, settings.templateName);
    ListDocument document{Workbook::open(ensureTemplate(templatesDir, settings.templateName)), title, 0};
    if (!settings.titleCell.isEmpty())
        document.book.setText(CellRef(settings.titleCell), title);
    document.book.formatRowsLike(settings.firstRow, settings.firstRow + 1, settings.firstRow - 1 + count);
    return document;
}

void finishList(ListDocument& document, const ListDocumentSettings& settings) {
    if (document.rows > 0) {
        const int last = settings.firstRow - 1 + document.rows;
        document.book.ruleThin(CellRef(settings.firstRow, 1), CellRef(last, settings.lastColumn()));
        document.book.fitRowHeights(settings.firstRow, last);
    }
}

} // namespace

ListDocument buildListDocument(const DataModule& dm, const ListDocumentSettings& settings,
                               const QString& templatesDir) {
    Dataset* rows = dm.dataset(settings.source);
    if (!rows)
        throw DbError(QStringLiteral("Набор данных %1 не найден в модуле данных").arg(settings.source));
    ListDocument document = startList(settings, templatesDir, rows->recordCount(), settings.documentTitle);
    rows->first();
    while (!rows->eof()) {
        const int row = settings.firstRow + document.rows;
        for (const ListColumn& c : settings.columns) {
            QVariant value;
            switch (c.kind) {
            case ListColumn::Kind::RunningNumber:
                break;
            case ListColumn::Kind::Text:
                value = rows->field(c.field).asString();
                break;
            case ListColumn::Kind::Integer:
                value = rows->field(c.field).asInteger();
                break;
            case ListColumn::Kind::Date:
                value = rows->field(c.field).asDate();
                break;
            }
            writeCell(document.book, CellRef(row, c.column), c.kind, document.rows + 1, value);
        }
        rows->next();
        ++document.rows;
    }
    finishList(document, settings);
    return document;
}

ListDocument buildListDocument(const ListRows& rows, const ListDocumentSettings& settings,
                               const QString& templatesDir, const QString& title) {
    ListDocument document =
        startList(settings, templatesDir, rows.count, title.isEmpty() ? settings.documentTitle : title);
    for (; document.rows < rows.count; ++document.rows) {
        const int row = settings.firstRow + document.rows;
        for (const ListColumn& c : settings.columns)
            writeCell(document.book, CellRef(row, c.column), c.kind, document.rows + 1,
                      c.kind == ListColumn::Kind::RunningNumber ? QVariant() : rows.value(document.rows, c));
    }
    finishList(document, settings);
    return document;
}

QString saveListDocument(const DataModule& dm, const ListDocumentSettings& settings, const RootPaths& root) {
    const ListDocument document = buildListDocument(dm, settings, root.templates());
    return DocumentFolder(root).save(document.book, document.title);
}

} // namespace documents
