// A filled application form read by readers that share nothing with ours: openpyxl (values and
// their types, date formats, borders of the ruled block, merges), and LibreOffice where it is
// installed (the values as it shows them; an old .xlt template converted for real). Each test is
// skipped where its reader is missing; scripts/deps.sh installs openpyxl, LibreOffice is optional.
#include "ApplicationForm.h"
#include "support/TemplateRoot.h"

#include "spreadsheet/DocumentFolder.h"
#include "spreadsheet/Templates.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {

class IndependentReader : public ::testing::Test, protected TemplateRoot {};

TEST_F(IndependentReader, OpenpyxlReadsTheFilledForm) {
    const QString python = QStringLiteral(ZAJAVKI_OPENPYXL_PYTHON);
    if (python.isEmpty())
        GTEST_SKIP() << "no Python with openpyxl";
    Workbook book = Workbook::open(templatePath);
    fillApplication(book, sampleTrainees());
    const QString file = DocumentFolder(root.documents()).save(book, QStringLiteral("Заявка 116 2026"));

    QStringList refs = {"A5",  "A11", "I14", "I16", "K14", "L15", "D15", "A16",
                        "N14", "Q14", "F16", "E21", "G27", "A17", "R14", "N15"};
    for (int row = 14; row <= 16; ++row)
        for (const char* column : {"A", "H", "Q"})
            refs.append(QStringLiteral("%1%2").arg(QLatin1String(column)).arg(row));
    QProcess reader;
    reader.start(python,
                 QStringList{QStringLiteral(ZAJAVKI_SOURCE_DIR "/tests/documents/read_workbook.py"), file} +
                     refs);
    ASSERT_TRUE(reader.waitForFinished(60000));
    ASSERT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().toStdString();
    const QJsonObject read = QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
    const QJsonObject cells = read.value("cells").toObject();
    auto value = [&](const char* ref) { return cells.value(ref).toObject().value("value"); };
    auto type = [&](const char* ref) { return cells.value(ref).toObject().value("type").toString(); };

    EXPECT_EQ(read.value("sheet").toString(), QStringLiteral("Заявка"));
    const QJsonArray merged = read.value("merged").toArray();
    EXPECT_TRUE(merged.contains(QStringLiteral("A5:Q5")));
    EXPECT_TRUE(merged.contains(QStringLiteral("A11:Q11")));

    EXPECT_EQ(value("A5").toString(), QStringLiteral("ЗАЯВКА № 116     на   2026  год  "));
    EXPECT_EQ(value("A11").toString(), QStringLiteral("ГБУЗ «Городская больница № 1»"));
    EXPECT_EQ(type("I14"), QStringLiteral("datetime"));
    EXPECT_EQ(value("I14").toString(), QStringLiteral("1985-07-15"));
    EXPECT_EQ(value("I16").toString(), QStringLiteral("2000-02-29"));
    EXPECT_EQ(cells.value("I14").toObject().value("format").toString(), QStringLiteral("dd\\.mm\\.yyyy"));
    EXPECT_EQ(type("K14"), QStringLiteral("float"));
    EXPECT_EQ(value("K14").toDouble(), 12.5);
    EXPECT_EQ(value("L15").toDouble(), 3.25);
    EXPECT_EQ(type("D15"), QStringLiteral("int"));
    EXPECT_EQ(value("D15").toInt(), 504);
    EXPECT_EQ(value("A16").toInt(), 3);
    EXPECT_EQ(type("N14"), QStringLiteral("str"));
    EXPECT_EQ(value("N14").toString(), QStringLiteral("12.03.2024"));
    EXPECT_EQ(value("Q14").toString(), QStringLiteral("112-233-445 95"));
    EXPECT_EQ(value("F16").toString(),
              QStringLiteral("Неотложные состояния <в практике> & \"доврачебная\" помощь"));
    EXPECT_EQ(value("E21").toString(), QStringLiteral("Ф.И.О. руководителя"));
    EXPECT_EQ(value("G27").toString(), QStringLiteral("Кузнецова К. К."));
    EXPECT_TRUE(value("N15").isNull());

    const QJsonArray thin = {"thin", "thin", "thin", "thin"};
    const QJsonArray none = {QJsonValue::Null, QJsonValue::Null, QJsonValue::Null, QJsonValue::Null};
    for (int row = 14; row <= 16; ++row)
        for (const char* column : {"A", "H", "Q"}) {
            const QString ref = QStringLiteral("%1%2").arg(QLatin1String(column)).arg(row);
            EXPECT_EQ(cells.value(ref).toObject().value("borders").toArray(), thin) << ref.toStdString();
        }
    for (const char* outside : {"A17", "R14", "E21"})
        EXPECT_EQ(cells.value(outside).toObject().value("borders").toArray(), none) << outside;
}

// Runs LibreOffice headless on `file`, converting it to `format` into `outDir`, with a profile of
// its own; returns the converted file's path, empty on failure.
QString convertWithOffice(const QString& office, const QString& file, const QString& format,
                          const QString& outDir) {
    QTemporaryDir profile;
    QProcess process;
    process.start(office,
                  {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile.path()).toString(),
                   QStringLiteral("--headless"), QStringLiteral("--convert-to"), format,
                   QStringLiteral("--outdir"), outDir, file});
    if (!process.waitForFinished(180000) || process.exitCode() != 0)
        return {};
    const QString extension = format.section(QLatin1Char(':'), 0, 0);
    const QString out =
        QDir(outDir).filePath(QFileInfo(file).completeBaseName() + QLatin1Char('.') + extension);
    return QFileInfo::exists(out) ? out : QString();
}

TEST_F(IndependentReader, LibreOfficeShowsTheFilledForm) {
    const QString office = findOfficeProgram();
    if (office.isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    Workbook book = Workbook::open(templatePath);
    fillApplication(book, sampleTrainees());
    const QString file = DocumentFolder(root.documents()).save(book, QStringLiteral("Заявка 116 2026"));
    QTemporaryDir out;
    // Comma-separated UTF-8 text, as shown (formatted) values.
    const QString csv = convertWithOffice(
        office, file, QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true"),
        out.path());
    ASSERT_FALSE(csv.isEmpty());
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 28);
    EXPECT_TRUE(lines[4].startsWith(QStringLiteral("ЗАЯВКА № 116     на   2026  год  ,")))
        << lines[4].toStdString();
    EXPECT_TRUE(lines[13].startsWith(
        QStringLiteral("1,ПК-101,ПК,144,очная,Сестринское дело в терапии,1,"
                       "Иванова Мария Ивановна,15.07.1985,Медицинская сестра палатная,12.5,7,")))
        << lines[13].toStdString();
    EXPECT_TRUE(lines[15].contains(QStringLiteral(",29.02.2000,Фельдшер,0.5,0,"))) << lines[15].toStdString();
    EXPECT_TRUE(lines[20].startsWith(QStringLiteral(",,,,Ф.И.О. руководителя,,Сидоров С. С.,")))
        << lines[20].toStdString();
}

TEST(OldTemplate, LibreOfficeConvertsAnXltIntoTheTemplateWeFill) {
    const QString office = findOfficeProgram();
    if (office.isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    // An old binary template made from ours, alone in the Templates folder.
    QTemporaryDir source, templates;
    const QString xltx = source.filePath(QStringLiteral("Zajavka2023.xltx"));
    QFile made(xltx);
    ASSERT_TRUE(made.open(QIODevice::WriteOnly));
    made.write(defaultTemplate(QStringLiteral("Zajavka2023.xltx")));
    made.close();
    const QString xlt = convertWithOffice(office, xltx, QStringLiteral("xlt"), templates.path());
    ASSERT_FALSE(xlt.isEmpty());

    const QString converted = ensureTemplate(templates.path(), QStringLiteral("Zajavka2023"), office);
    EXPECT_EQ(converted, templates.filePath(QStringLiteral("Zajavka2023.xltx")));
    Workbook book = Workbook::open(converted);
    fillApplication(book, sampleTrainees());
    const QString python = QStringLiteral(ZAJAVKI_OPENPYXL_PYTHON);
    if (python.isEmpty())
        return;
    const QString file = templates.filePath(QStringLiteral("filled.xlsx"));
    book.saveAs(file);
    QProcess reader;
    reader.start(python, {QStringLiteral(ZAJAVKI_SOURCE_DIR "/tests/documents/read_workbook.py"), file, "A5",
                          "A13", "I14", "Q16"});
    ASSERT_TRUE(reader.waitForFinished(60000));
    const QJsonObject read = QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
    const QJsonObject cells = read.value("cells").toObject();
    EXPECT_EQ(cells.value("A13").toObject().value("value").toString(), QStringLiteral("№ п/п"));
    EXPECT_EQ(cells.value("I14").toObject().value("value").toString(), QStringLiteral("1985-07-15"));
    EXPECT_EQ(cells.value("Q16").toObject().value("borders").toArray(),
              (QJsonArray{"thin", "thin", "thin", "thin"}));
    EXPECT_TRUE(read.value("merged").toArray().contains(QStringLiteral("A5:Q5")));
}

} // namespace
