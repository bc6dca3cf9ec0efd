#include "documents/ListDocument.h"

#include "core/RootPaths.h"
#include "data/DataModule.h"
#include "data/DbError.h"
#include "documents/DocumentFolder.h"
#include "documents/Templates.h"

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

ListDocument buildListDocument(const TDM& dm, const ListDocumentSettings& settings, const QString& templatesDir) {
    Dataset* rows = dm.dataset(settings.source);
    if (!rows)
        throw DbError(QStringLiteral("Набор данных %1 не найден в модуле данных").arg(settings.source));
    installDefaultTemplates(templatesDir, settings.templateName);
    ListDocument document{Workbook::open(ensureTemplate(templatesDir, settings.templateName)), settings.documentTitle,
                          0};
    Workbook& book = document.book;

    // The rows below the first take its look before anything is written into them.
    const int first = settings.firstRow;
    const int count = rows->recordCount();
    book.formatRowsLike(first, first + 1, first - 1 + count);
    rows->first();
    while (!rows->eof()) {
        const int row = first + document.rows;
        for (const ListColumn& c : settings.columns) {
            const CellRef cell(row, c.column);
            switch (c.kind) {
            case ListColumn::Kind::RunningNumber: book.setInteger(cell, document.rows + 1); break;
            case ListColumn::Kind::Text: book.setText(cell, rows->field(c.field).asString()); break;
            case ListColumn::Kind::Integer: {
                const qint64 value = rows->field(c.field).asInteger();
                if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
                    book.setNumber(cell, double(value));
                else
                    book.setInteger(cell, qint32(value));
                break;
            }
            }
        }
        rows->next();
        ++document.rows;
    }
    if (document.rows > 0) {
        const int last = first - 1 + document.rows;
        book.ruleThin(CellRef(first, 1), CellRef(last, settings.lastColumn()));
        book.fitRowHeights(first, last);
    }
    return document;
}

QString saveListDocument(const TDM& dm, const ListDocumentSettings& settings, const RootPaths& root) {
    const ListDocument document = buildListDocument(dm, settings, root.templates());
    return DocumentFolder(root).save(document.book, document.title);
}

} // namespace documents
