// A filled application form read by openpyxl, a reader that shares nothing with ours: values and
// their types, date formats, borders of the ruled block and the merges. Skipped where no Python
// with openpyxl is installed (scripts/deps.sh installs it).
#include "ApplicationForm.h"
#include "TemplateRoot.h"

#include "documents/DocumentFolder.h"

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

    QStringList refs = {"A5", "A11", "I14", "I16", "K14", "L15", "D15", "A16", "N14", "Q14", "F16", "E21", "G27",
                        "A17", "R14", "N15"};
    for (int row = 14; row <= 16; ++row)
        for (const char* column : {"A", "H", "Q"})
            refs.append(QStringLiteral("%1%2").arg(QLatin1String(column)).arg(row));
    QProcess reader;
    reader.start(python, QStringList{QStringLiteral(ZAJAVKI_SOURCE_DIR "/tests/documents/read_workbook.py"), file} + refs);
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
    EXPECT_EQ(value("F16").toString(), QStringLiteral("Неотложные состояния <в практике> & \"доврачебная\" помощь"));
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

} // namespace
