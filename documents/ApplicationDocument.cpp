#include "documents/ApplicationDocument.h"

#include "applications/Generation.h"
#include "data/DataModule.h"
#include "data/DbError.h"
#include "data/ServiceYears.h"
#include "documents/DocumentFolder.h"
#include "documents/Templates.h"
#include "core/Prompter.h"
#include "core/RootPaths.h"

#include <algorithm>
#include <limits>
#include <variant>
#include <vector>

namespace documents {

int ApplicationDocumentSettings::lastColumn() const {
    int last = 1;
    for (const TraineeColumn& c : columns)
        last = std::max(last, c.column);
    return last;
}

const ApplicationDocumentSettings& ApplicationDocumentSettings::y2023() {
    static const ApplicationDocumentSettings settings = [] {
        using Kind = TraineeColumn::Kind;
        ApplicationDocumentSettings s;
        s.templateName = QStringLiteral("Zajavka2023");
        s.applications = QStringLiteral("tblZajavki2023");
        s.trainees = QStringLiteral("tblSluch2023");
        s.config = QStringLiteral("tblConfig");
        s.titleCell = CellRef("A5");
        s.title = QStringLiteral("ЗАЯВКА № %1     на   %2  год  ");
        s.institutionCell = CellRef("A11");
        s.institutionField = QStringLiteral("NLPU");
        s.firstRow = 14;
        s.lookups = {
            {QStringLiteral("tblNewZicl"), QStringLiteral("KZicl;VidOb;Hours"),
             {QStringLiteral("KZicl"), QStringLiteral("VidOb"), QStringLiteral("Hours")},
             QStringLiteral("не найден цикл - "), QStringLiteral("KZicl")},
            {QStringLiteral("tblDoljn"), QStringLiteral("KDoljn"), {QStringLiteral("KDoljn")},
             QStringLiteral("не найдена должность - "), QString()},
            {QStringLiteral("tblSpez"), QStringLiteral("KSpez"), {QStringLiteral("KSpez")},
             QStringLiteral("не найдена специальность - "), QString()},
        };
        enum { Programme, Position, DiplomaSpecialty };
        s.columns = {
            {1, Kind::RunningNumber, QString()},
            {2, Kind::Text, QStringLiteral("KZicl")},
            {3, Kind::Text, QStringLiteral("VidOb")},
            {4, Kind::Integer, QStringLiteral("Hours")},
            {5, Kind::Text, QStringLiteral("FOBUCH")},
            {6, Kind::Found, QStringLiteral("NZicl"), Programme},
            {7, Kind::Integer, QStringLiteral("KV")},
            {8, Kind::FullName, QString()},
            // A trainee without a birth date, stored as the zero date, gets an empty cell.
            {9, Kind::Date, QStringLiteral("DR")},
            {10, Kind::Found, QStringLiteral("NDoljn"), Position},
            {11, Kind::ServiceYears, QStringLiteral("StajOb")},
            {12, Kind::ServiceYears, QStringLiteral("StajDoljn")},
            {13, Kind::Found, QStringLiteral("NSpez"), DiplomaSpecialty},
            // The certificate's date is written as the text the field shows, as the form has it.
            {14, Kind::Text, QStringLiteral("DateCl")},
            {15, Kind::Text, QStringLiteral("Specialty")},
            {16, Kind::Text, QStringLiteral("EMAIL")},
            {17, Kind::Text, QStringLiteral("SNILS")},
        };
        s.footer = {
            {5, 5, QStringLiteral("Ф.И.О. руководителя"), QString()},
            {5, 7, QString(), QStringLiteral("Boss")},
            {7, 5, QStringLiteral("М.П. ЛПУ"), QString()},
            {11, 5, QStringLiteral("Ф.И.О. исполнителя    "), QString()},
            {11, 7, QString(), QStringLiteral("User")},
            {12, 5, QStringLiteral("тел.:  "), QStringLiteral("Phone")},
        };
        s.documentTitle = QStringLiteral("Заявка %1 %2");
        return s;
    }();
    return settings;
}

const ApplicationDocumentSettings* ApplicationDocumentSettings::of(const Generation& generation) {
    return generation.kind == Generation::Kind::Y2023 ? &y2023() : nullptr;
}

namespace {

// A cell's value, kept until the number of complete rows is known: the rows below the first take
// the model row's look before anything is written into them, so that a value's own format (a
// date's) is added to the model's style instead of standing in for it.
using CellValue = std::variant<QString, qint32, double, QDate>;

struct PendingCell {
    CellRef cell;
    CellValue value;
};

void write(Workbook& book, const PendingCell& pending) {
    std::visit(
        [&](const auto& value) {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, QString>)
                book.setText(pending.cell, value);
            else if constexpr (std::is_same_v<T, qint32>)
                book.setInteger(pending.cell, value);
            else if constexpr (std::is_same_v<T, double>)
                book.setNumber(pending.cell, value);
            else
                book.setDate(pending.cell, value);
        },
        pending.value);
}

Dataset& datasetOf(const TDM& dm, const QString& name) {
    Dataset* ds = dm.dataset(name);
    if (!ds)
        throw DbError(QStringLiteral("Таблица %1 не найдена в модуле данных").arg(name));
    return *ds;
}

// A whole number as the sheet takes it; one too large for a whole-number cell goes as a number.
CellValue wholeNumber(qint64 value) {
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return double(value);
    return qint32(value);
}

// The value a trainee's field is searched by, read the typed way: an empty number is 0.
QVariant keyValue(const Field& field) {
    switch (field.type()) {
    case FieldType::Alpha:
    case FieldType::Memo: return field.asString();
    case FieldType::Number: return field.asFloat();
    case FieldType::Date: return field.asDate();
    default: return field.asInteger();
    }
}

// A date as the form shows it: the zero date an empty date is stored as shows nothing.
CellValue shownDate(const Field& field) {
    const QDate date = field.asDate();
    return date.isValid() && date != Field::zeroDate() ? date : QDate();
}

// Years of service as the form shows them: none where the stored number is a year, not years.
CellValue serviceYears(const Field& field) {
    const double years = field.asFloat();
    return serviceYearsUnknown(years) ? CellValue(QString()) : CellValue(years);
}

QString fullName(const Dataset& trainee) {
    return trainee.field(QStringLiteral("Name1")).asString() + QStringLiteral("  ") +
           trainee.field(QStringLiteral("Name2")).asString() + QStringLiteral("  ") +
           trainee.field(QStringLiteral("Name3")).asString();
}

class Filler {
public:
    Filler(const TDM& dm, const ApplicationDocumentSettings& settings, Prompter& prompter)
        : settings_(settings), prompter_(prompter), trainees_(datasetOf(dm, settings.trainees)),
          config_(datasetOf(dm, settings.config)) {
        for (const Lookup& lookup : settings.lookups)
            tables_.push_back(&datasetOf(dm, lookup.table));
    }

    // Reads every trainee into pending cells; returns how many were complete.
    int read() {
        trainees_.first();
        // The title's number and year come from the first trainee: without one they are empty.
        add(settings_.titleCell, settings_.title.arg(trainees_.field(QStringLiteral("KZajavki")).asString(),
                                                     trainees_.field(QStringLiteral("Year")).asString()));
        add(settings_.institutionCell, config_.field(settings_.institutionField).asString());
        int complete = 0;
        while (!trainees_.eof()) {
            if (!readTrainee(settings_.firstRow + complete, complete + 1))
                break;
            trainees_.next();
            ++complete;
        }
        return complete;
    }

    void writeInto(Workbook& book, int complete) const {
        const int first = settings_.firstRow;
        const int lastTableRow = first - 1 + complete;
        book.formatRowsLike(first, first + 1, lastTableRow);
        for (const PendingCell& cell : cells_)
            write(book, cell);
        book.ruleThin(CellRef(first, 1), CellRef(lastTableRow, settings_.lastColumn()));
        // Names, positions and programmes wrap: each row as high as its longest text, the row of
        // a trainee left out included.
        book.fitRowHeights(first, lastTableRow + 1);
        for (const auto& line : settings_.footer) {
            QString text = line.text;
            if (!line.configField.isEmpty())
                text += config_.field(line.configField).asString();
            book.setText(CellRef(lastTableRow + line.rowsBelow, line.column), text);
        }
    }

private:
    void add(const CellRef& cell, CellValue value) { cells_.push_back({cell, std::move(value)}); }

    // Takes the trainee's cells column by column; false, after the notice, when a lookup fails
    // (the cells taken before it are written all the same).
    bool readTrainee(int row, int runningNumber) {
        std::vector<bool> found(tables_.size(), false);
        for (const TraineeColumn& column : settings_.columns) {
            const CellRef cell(row, column.column);
            switch (column.kind) {
            case TraineeColumn::Kind::RunningNumber: add(cell, qint32(runningNumber)); break;
            case TraineeColumn::Kind::Text: add(cell, trainees_.field(column.field).asString()); break;
            case TraineeColumn::Kind::Integer: add(cell, wholeNumber(trainees_.field(column.field).asInteger())); break;
            case TraineeColumn::Kind::Float: add(cell, trainees_.field(column.field).asFloat()); break;
            case TraineeColumn::Kind::ServiceYears: add(cell, serviceYears(trainees_.field(column.field))); break;
            case TraineeColumn::Kind::Date: add(cell, shownDate(trainees_.field(column.field))); break;
            case TraineeColumn::Kind::FullName: add(cell, fullName(trainees_)); break;
            case TraineeColumn::Kind::Found: {
                const size_t index = size_t(column.lookup);
                if (!found[index]) {
                    if (!locate(settings_.lookups[column.lookup], *tables_[index]))
                        return false;
                    found[index] = true;
                }
                add(cell, tables_[index]->field(column.field).asString());
                break;
            }
            }
        }
        return true;
    }

    bool locate(const Lookup& lookup, Dataset& table) {
        QVariantList values;
        for (const QString& field : lookup.traineeFields)
            values << keyValue(trainees_.field(field));
        if (table.locate(lookup.fields, values))
            return true;
        prompter_.inform(lookup.missing + (lookup.namedBy.isEmpty() ? fullName(trainees_)
                                                                    : trainees_.field(lookup.namedBy).asString()));
        return false;
    }

    const ApplicationDocumentSettings& settings_;
    Prompter& prompter_;
    Dataset& trainees_;
    Dataset& config_;
    std::vector<Dataset*> tables_;
    std::vector<PendingCell> cells_;
};

} // namespace

ApplicationDocument buildApplicationDocument(const TDM& dm, const ApplicationDocumentSettings& settings,
                                             const QString& templatesDir, Prompter& prompter) {
    installDefaultTemplates(templatesDir, settings.templateName);
    ApplicationDocument document{Workbook::open(ensureTemplate(templatesDir, settings.templateName)), QString(), 0};

    // The file's name follows the application itself, so that it is named even without trainees.
    const Dataset& application = datasetOf(dm, settings.applications);
    QString number = application.field(QStringLiteral("KZajavki")).asString();
    number.replace(u',', u'.');
    document.title =
        settings.documentTitle.arg(number, application.field(QStringLiteral("Year")).asString()).simplified();

    Filler filler(dm, settings, prompter);
    document.completeRows = filler.read();
    filler.writeInto(document.book, document.completeRows);
    return document;
}

QString saveApplicationDocument(const TDM& dm, const ApplicationDocumentSettings& settings, const RootPaths& root,
                                Prompter& prompter) {
    const ApplicationDocument document = buildApplicationDocument(dm, settings, root.templates(), prompter);
    return DocumentFolder(root).save(document.book, document.title);
}

} // namespace documents
