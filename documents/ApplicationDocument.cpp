#include "documents/ApplicationDocument.h"

#include "applications/Generation.h"
#include "core/Prompter.h"
#include "core/RootPaths.h"
#include "data/DataModule.h"
#include "data/DbError.h"
#include "data/ServiceYears.h"
#include "spreadsheet/DocumentFolder.h"
#include "spreadsheet/Templates.h"

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

namespace {

// The counts of the base generation's form: professional development (ПК) and retraining (ПП)
// by hours, vocational training (ПО) whatever the hours.
HoursTally hoursTally() {
    HoursTally tally{.rowsBelow = 5,
                     .headingColumn = 5,
                     .heading = QStringLiteral("Всего повышения квалиф:"),
                     .kinds = {QStringLiteral("ПК"), QStringLiteral("ПП")},
                     .columns = {7, 8},
                     .lines = {},
                     .anyHoursKind = QStringLiteral("ПО"),
                     .anyHoursHeading = QStringLiteral("Всего проф. обучения - ")};
    for (int hours : {834, 432, 288, 252, 216, 144, 72, 36, 18, 16}) {
        // The form lines the numbers up: two blanks before the shorter ones in the first column.
        const QString first =
            hours < 100 ? QStringLiteral("ПК  %1 час. - ") : QStringLiteral("ПК %1 час. - ");
        tally.lines.append({hours, {first.arg(hours), QStringLiteral("ПП %1 час. - ").arg(hours)}});
    }
    return tally;
}

ApplicationDocumentSettings settingsOf(const Generation& g) {
    ApplicationDocumentSettings s;
    s.templateName = g.documentTemplate;
    s.applications = g.applications.table;
    s.trainees = g.trainees.table;
    s.config = &DataModule::tblConfig;
    s.titleCell = CellRef("A5");
    s.title = QStringLiteral("ЗАЯВКА № %1     на   %2  год  ");
    s.institutionCell = CellRef("A11");
    s.institutionField = QStringLiteral("NLPU");
    s.firstRow = 14;
    s.lookups = {
        {&DataModule::tblNewZicl,
         QStringLiteral("KZicl;VidOb;Hours"),
         {QStringLiteral("KZicl"), QStringLiteral("VidOb"), QStringLiteral("Hours")},
         QStringLiteral("не найден цикл - "),
         QStringLiteral("KZicl")},
        {&DataModule::tblDoljn,
         QStringLiteral("KDoljn"),
         {QStringLiteral("KDoljn")},
         QStringLiteral("не найдена должность - "),
         QString()},
        {&DataModule::tblSpez,
         QStringLiteral("KSpez"),
         {QStringLiteral("KSpez")},
         QStringLiteral("не найдена специальность - "),
         QString()},
    };
    s.columns = g.documentColumns;
    // The signatures: right below the table (rows 18 + n to 25 + n), or below the counts where
    // they are printed (rows 30 + n to 35 + n).
    if (g.documentCountsHours) {
        s.tally = hoursTally();
        s.footer = {
            {17, 5, QStringLiteral("Ф.И.О. руководителя"), QString()},
            {17, 7, QString(), QStringLiteral("Boss")},
            {19, 5, QStringLiteral("М.П. ЛПУ"), QString()},
            {21, 5, QStringLiteral("Ф.И.О. исполнителя    "), QString()},
            {21, 7, QString(), QStringLiteral("User")},
            {22, 5, QStringLiteral("тел.:  "), QStringLiteral("Phone")},
        };
    } else {
        s.footer = {
            {5, 5, QStringLiteral("Ф.И.О. руководителя"), QString()},
            {5, 7, QString(), QStringLiteral("Boss")},
            {7, 5, QStringLiteral("М.П. ЛПУ"), QString()},
            {11, 5, QStringLiteral("Ф.И.О. исполнителя    "), QString()},
            {11, 7, QString(), QStringLiteral("User")},
            {12, 5, QStringLiteral("тел.:  "), QStringLiteral("Phone")},
        };
    }
    s.documentTitle = QStringLiteral("Заявка %1 %2");
    return s;
}

} // namespace

const ApplicationDocumentSettings& ApplicationDocumentSettings::of(const Generation& generation) {
    static const ApplicationDocumentSettings base = settingsOf(Generation::base());
    static const ApplicationDocumentSettings y2021 = settingsOf(Generation::y2021());
    static const ApplicationDocumentSettings current = settingsOf(Generation::current());
    switch (generation.kind) {
    case Generation::Kind::Base:
        return base;
    case Generation::Kind::Y2021:
        return y2021;
    case Generation::Kind::Y2023:
        break;
    }
    return current;
}

const ApplicationDocumentSettings& ApplicationDocumentSettings::y2023() {
    return of(Generation::current());
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
    case FieldType::Memo:
        return field.asString();
    case FieldType::Number:
        return field.asFloat();
    case FieldType::Date:
        return field.asDate();
    default:
        return field.asInteger();
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
    return trainee.field(fld::Name1).asString() + QStringLiteral("  ") +
           trainee.field(fld::Name2).asString() + QStringLiteral("  ") + trainee.field(fld::Name3).asString();
}

class Filler {
public:
    Filler(const DataModule& dm, const ApplicationDocumentSettings& settings, Prompter& prompter)
        : settings_(settings), prompter_(prompter), trainees_(*(dm.*settings.trainees)),
          config_(*(dm.*settings.config)) {
        for (const Lookup& lookup : settings.lookups)
            tables_.push_back(dm.*lookup.table);
        for (const TraineeColumn& column : settings.columns) {
            Dataset* details = column.details ? dm.*column.details : nullptr;
            sources_.push_back(details ? details : &trainees_);
            if (details && std::find(details_.begin(), details_.end(), details) == details_.end())
                details_.push_back(details);
        }
        if (settings.tally)
            counts_.assign(settings.tally->lines.size() * 2 + 1, 0);
    }

    // Reads every trainee into pending cells; returns how many were complete.
    int read() {
        trainees_.first();
        // The title's number and year come from the first trainee: without one they are empty.
        add(settings_.titleCell, settings_.title.arg(trainees_.field(fld::KZajavki).asString(),
                                                     trainees_.field(fld::Year).asString()));
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
        writeTally(book, complete);
        for (const auto& line : settings_.footer) {
            QString text = line.text;
            if (!line.configField.isEmpty())
                text += config_.field(line.configField).asString();
            book.setText(CellRef(lastTableRow + line.rowsBelow, line.column), text);
        }
    }

private:
    void add(const CellRef& cell, CellValue value) { cells_.push_back({cell, std::move(value)}); }

    // The counts below the table, every count written, 0 included.
    void writeTally(Workbook& book, int complete) const {
        if (!settings_.tally)
            return;
        const HoursTally& tally = *settings_.tally;
        const int first = settings_.firstRow - 1 + complete + tally.rowsBelow;
        book.setText(CellRef(first, tally.headingColumn), tally.heading);
        for (int line = 0; line < tally.lines.size(); ++line)
            for (int kind = 0; kind < 2; ++kind)
                book.setText(CellRef(first + line, tally.columns[kind]),
                             tally.lines[line].labels[kind] +
                                 QString::number(counts_[size_t(line * 2 + kind)]));
        const int last = first + int(tally.lines.size());
        book.setText(CellRef(last, tally.headingColumn), tally.anyHoursHeading);
        book.setText(CellRef(last, tally.columns[0]), QString::number(counts_.back()));
    }

    // Counts the trainee by its kind of training and hours, before any of its lookups.
    void count() {
        if (!settings_.tally)
            return;
        const HoursTally& tally = *settings_.tally;
        const QString kind = trainees_.field(fld::VidOb).asString();
        if (kind == tally.anyHoursKind) {
            ++counts_.back();
            return;
        }
        const qint64 hours = trainees_.field(fld::Hours).asInteger();
        for (int k = 0; k < 2; ++k) {
            if (kind != tally.kinds[k])
                continue;
            for (int line = 0; line < tally.lines.size(); ++line)
                if (tally.lines[line].hours == hours)
                    ++counts_[size_t(line * 2 + k)];
        }
    }

    // Takes the trainee's cells column by column; false, after the notice, when a lookup fails
    // (the cells taken before it are written all the same).
    bool readTrainee(int row, int runningNumber) {
        count();
        // A value of a detail table is that of the trainee's first row there.
        for (Dataset* details : details_)
            details->first();
        std::vector<bool> found(tables_.size(), false);
        for (size_t i = 0; i < size_t(settings_.columns.size()); ++i) {
            const TraineeColumn& column = settings_.columns[qsizetype(i)];
            const CellRef cell(row, column.column);
            switch (column.kind) {
            case TraineeColumn::Kind::RunningNumber:
                add(cell, qint32(runningNumber));
                break;
            case TraineeColumn::Kind::Text:
                add(cell, sources_[i]->field(column.field).asString());
                break;
            case TraineeColumn::Kind::Integer:
                add(cell, wholeNumber(trainees_.field(column.field).asInteger()));
                break;
            case TraineeColumn::Kind::Float:
                add(cell, trainees_.field(column.field).asFloat());
                break;
            case TraineeColumn::Kind::ServiceYears:
                add(cell, serviceYears(trainees_.field(column.field)));
                break;
            case TraineeColumn::Kind::Date:
                add(cell, shownDate(trainees_.field(column.field)));
                break;
            case TraineeColumn::Kind::FullName:
                add(cell, fullName(trainees_));
                break;
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
        prompter_.inform(lookup.missing + (lookup.namedBy.isEmpty()
                                               ? fullName(trainees_)
                                               : trainees_.field(lookup.namedBy).asString()));
        return false;
    }

    const ApplicationDocumentSettings& settings_;
    Prompter& prompter_;
    Dataset& trainees_;
    Dataset& config_;
    std::vector<Dataset*> tables_;
    std::vector<Dataset*> sources_; // per column: the trainees or a detail table of theirs
    std::vector<Dataset*> details_;
    std::vector<int> counts_; // per tally line the two kinds' counts, then the kind of any hours
    std::vector<PendingCell> cells_;
};

} // namespace

ApplicationDocument buildApplicationDocument(const DataModule& dm,
                                             const ApplicationDocumentSettings& settings,
                                             const QString& templatesDir, Prompter& prompter) {
    installDefaultTemplates(templatesDir, settings.templateName);
    ApplicationDocument document{Workbook::open(ensureTemplate(templatesDir, settings.templateName)),
                                 QString(), 0};

    // The file's name follows the application itself, so that it is named even without trainees.
    const Dataset& application = *(dm.*settings.applications);
    QString number = application.field(fld::KZajavki).asString();
    number.replace(u',', u'.');
    document.title = settings.documentTitle.arg(number, application.field(fld::Year).asString()).simplified();

    Filler filler(dm, settings, prompter);
    document.completeRows = filler.read();
    filler.writeInto(document.book, document.completeRows);
    return document;
}

QString saveApplicationDocument(const DataModule& dm, const ApplicationDocumentSettings& settings,
                                const RootPaths& root, Prompter& prompter) {
    const ApplicationDocument document = buildApplicationDocument(dm, settings, root.templates(), prompter);
    return DocumentFolder(root).save(document.book, document.title);
}

} // namespace documents
