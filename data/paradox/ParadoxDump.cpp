#include "data/paradox/ParadoxDump.h"

#include "core/Csv.h"
#include "data/paradox/ParadoxError.h"
#include "data/paradox/ParadoxReader.h"

#include <QDate>
#include <QDateTime>
#include <QFileInfo>
#include <QTime>

namespace {

QString timeText(QTime time) {
    return time.toString(time.msec() ? QStringLiteral("HH:mm:ss.zzz") : QStringLiteral("HH:mm:ss"));
}

QString valueText(const QVariant& value) {
    if (!value.isValid())
        return QString();
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString();
    case QMetaType::Int:
        return QString::number(value.toInt());
    case QMetaType::Double:
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    case QMetaType::QTime:
        return timeText(value.toTime());
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        return dt.date().toString(QStringLiteral("dd.MM.yyyy")) + u' ' + timeText(dt.time());
    }
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QMetaType::QByteArray:
        return QString::fromLatin1(value.toByteArray().toHex());
    }
    return value.toString();
}

void writeCsvLine(QTextStream& out, const QStringList& fields) {
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i)
            out << u',';
        out << csvField(fields[i]);
    }
    out << u'\n';
}

struct DumpArgs {
    QString file;
    int codePage = 0;
    QString error;
};

DumpArgs parseArgs(const QStringList& args) {
    DumpArgs parsed;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        QString number;
        if (arg == QLatin1String("--codepage")) {
            if (i + 1 >= args.size()) {
                parsed.error = QStringLiteral("после --codepage нужен номер кодовой страницы");
                return parsed;
            }
            number = args[++i];
        } else if (arg.startsWith(QLatin1String("--codepage="))) {
            number = arg.mid(11);
        } else if (arg.startsWith(QLatin1String("--"))) {
            parsed.error = QStringLiteral("неизвестный параметр %1").arg(arg);
            return parsed;
        } else if (parsed.file.isEmpty()) {
            parsed.file = arg;
            continue;
        } else {
            parsed.error = QStringLiteral("лишний параметр %1").arg(arg);
            return parsed;
        }
        bool ok = false;
        parsed.codePage = number.toInt(&ok);
        if (!ok || parsed.codePage <= 0) {
            parsed.error = QStringLiteral("недопустимый номер кодовой страницы «%1»").arg(number);
            return parsed;
        }
    }
    if (parsed.file.isEmpty())
        parsed.error = QStringLiteral("не указан файл таблицы");
    return parsed;
}

} // namespace

int runDump(const QStringList& args, QTextStream& out, QTextStream& err) {
    const DumpArgs parsed = parseArgs(args);
    if (!parsed.error.isEmpty()) {
        err << QStringLiteral("dump: %1. Использование: zajavki dump ФАЙЛ.db [--codepage N]")
                   .arg(parsed.error)
            << Qt::endl;
        return 2;
    }
    try {
        // A table without its .MB is still shown: the memos kept there print empty, and one
        // warning names the missing file.
        ParadoxReader reader(parsed.file, ParadoxReadOptions{parsed.codePage, MissingMemoFile::ReadEmpty});
        const ParadoxTableInfo& info = reader.info();
        // Everything is decoded before the first line goes out, so that a file refused half-way
        // prints nothing but the message.
        QList<QVariantList> rows;
        rows.reserve(info.recordCount);
        QVariantList row;
        while (reader.next(row))
            rows.append(std::move(row));

        if (reader.memoFileMissing())
            err << QStringLiteral("Внимание: рядом с таблицей %1 нет её файла памяток %2; тексты памяток, "
                                  "которые хранятся в нём, показаны пустыми.")
                       .arg(info.fileName, reader.memoFileName())
                << Qt::endl;
        out << "# таблица: " << QFileInfo(parsed.file).fileName() << u'\n';
        out << "# версия файла: " << info.versionName() << " (0x"
            << QStringLiteral("%1").arg(info.fileVersion, 2, 16, QLatin1Char('0')).toUpper() << ")\n";
        out << "# кодовая страница: " << info.codePage;
        if (info.codePage != info.declaredCodePage)
            out << " (в файле: " << info.declaredCodePage << ')';
        out << u'\n';
        out << "# записей: " << info.recordCount << u'\n';
        QStringList names;
        for (const ParadoxField& field : info.fields) {
            out << "# поле: " << field.name << ' ' << field.typeCode() << u'\n';
            names << field.name;
        }
        writeCsvLine(out, names);
        QStringList texts;
        for (const QVariantList& values : rows) {
            texts.clear();
            for (const QVariant& value : values)
                texts << valueText(value);
            writeCsvLine(out, texts);
        }
        out.flush();
        return 0;
    } catch (const ParadoxError& e) {
        err << e.message() << Qt::endl;
        return 1;
    }
}
