// Finding the template in the Templates folder (converting an old .xlt when LibreOffice is
// there), installing the default templates (completely or not at all), refusing what is not a
// file, and the default application form itself.
#include "support/FileSizeLimit.h"
#include "support/TemplateRoot.h"
#include "support/XlsxReader.h"

#include "spreadsheet/DocumentError.h"
#include "spreadsheet/Templates.h"
#include "spreadsheet/TextFit.h"
#include "spreadsheet/Workbook.h"

#include <map>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <sys/stat.h>
#include <zip.h>

namespace {

const QString kName = QStringLiteral("Zajavka2023");

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

QStringList everyEntry(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

QString errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const DocumentError& e) {
        return e.message();
    }
    return {};
}

// A stand-in for LibreOffice: takes its arguments (… --outdir DIR FILE), notes each run in
// `runs`, and writes DIR/<name of FILE>.xltx with the bytes of `result` (or fails when empty).
QString fakeOffice(const QString& folder, const QString& runs, const QString& result) {
    const QString path = folder + QStringLiteral("/soffice");
    const QString script =
        QStringLiteral("#!/bin/sh\n"
                       "echo run >> '%1'\n"
                       "out=''\n"
                       "while [ $# -gt 1 ]; do [ \"$1\" = --outdir ] && out=$2; shift; done\n"
                       "name=$(basename \"$1\"); name=${name%.*}\n"
                       "[ -n '%2' ] || exit 1\n"
                       "cp '%2' \"$out/$name.xltx\"\n")
            .arg(runs, result);
    writeFile(path, script.toUtf8());
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

int lineCount(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? int(f.readAll().count('\n')) : 0;
}

TEST(EnsureTemplate, FindsTheTemplateOrNamesTheFileNeeded) {
    struct Case {
        const char* what;
        QStringList files;   // in the Templates folder
        const char* found;   // the file found, or null
        QStringList phrases; // in the message otherwise
    };
    const Case cases[] = {
        {"xltx", {"Zajavka2023.xltx", "Zajavka2023.xlt"}, "Zajavka2023.xltx", {}},
        {"xlsx", {"Zajavka2023.xlsx"}, "Zajavka2023.xlsx", {}},
        {"another case", {"ZAJAVKA2023.XLTX"}, "ZAJAVKA2023.XLTX", {}},
        {"nothing", {"Other.xltx"}, nullptr, {"Не найден шаблон", "Zajavka2023.xltx"}},
        {"old template, no LibreOffice",
         {"Zajavka2023.xlt"},
         nullptr,
         {"Zajavka2023.xlt»", "старом формате", "LibreOffice", "Zajavka2023.xltx"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        for (const QString& f : c.files)
            writeFile(dir.filePath(f), "x");
        if (c.found) {
            EXPECT_EQ(ensureTemplate(dir.path(), kName, QString()),
                      dir.filePath(QString::fromLatin1(c.found)));
            continue;
        }
        const QString message = errorOf([&] { ensureTemplate(dir.path(), kName, QString()); });
        for (const QString& phrase : c.phrases)
            EXPECT_TRUE(message.contains(phrase)) << message.toStdString() << " / " << phrase.toStdString();
        EXPECT_TRUE(
            message.contains(QDir::toNativeSeparators(dir.filePath(QStringLiteral("Zajavka2023.xltx")))))
            << message.toStdString();
        EXPECT_EQ(everyEntry(dir.path()), c.files);
    }
}

TEST(EnsureTemplate, ConvertsAnOldTemplateOnceWithLibreOffice) {
    QTemporaryDir tools, templates;
    const QString converted = tools.filePath(QStringLiteral("converted.xltx"));
    writeFile(converted, defaultTemplate(QStringLiteral("Zajavka2023.xltx")));
    const QString runs = tools.filePath(QStringLiteral("runs"));
    const QString office = fakeOffice(tools.path(), runs, converted);
    writeFile(templates.filePath(QStringLiteral("Zajavka2023.xlt")), "old binary template");

    const QString wanted = templates.filePath(QStringLiteral("Zajavka2023.xltx"));
    EXPECT_EQ(ensureTemplate(templates.path(), kName, office), wanted);
    EXPECT_EQ(ensureTemplate(templates.path(), kName, office), wanted);
    EXPECT_EQ(lineCount(runs), 1);
    EXPECT_EQ(everyEntry(templates.path()), (QStringList{"Zajavka2023.xlt", "Zajavka2023.xltx"}));
    QFile result(wanted);
    ASSERT_TRUE(result.open(QIODevice::ReadOnly));
    EXPECT_EQ(result.readAll(), defaultTemplate(QStringLiteral("Zajavka2023.xltx")));
}

TEST(EnsureTemplate, AFailedConversionLeavesNothingBehind) {
    QTemporaryDir tools, templates;
    const QString office = fakeOffice(tools.path(), tools.filePath(QStringLiteral("runs")), QString());
    writeFile(templates.filePath(QStringLiteral("Zajavka2023.xlt")), "old binary template");
    const QString message = errorOf([&] { ensureTemplate(templates.path(), kName, office); });
    EXPECT_TRUE(message.contains(QStringLiteral("Не удалось преобразовать"))) << message.toStdString();
    EXPECT_TRUE(
        message.contains(QDir::toNativeSeparators(templates.filePath(QStringLiteral("Zajavka2023.xltx")))))
        << message.toStdString();
    EXPECT_EQ(everyEntry(templates.path()), QStringList{"Zajavka2023.xlt"});
}

TEST(DefaultTemplates, AreInstalledWhereTheFolderHasNoneOfThatName) {
    QTemporaryDir dir;
    const QString templates = dir.filePath(QStringLiteral("Templates"));
    EXPECT_EQ(defaultTemplateNames(), (QStringList{"Doljn.xltx", "Plan.xltx", "Zajavka2020.xltx",
                                                   "Zajavka2022.xltx", "Zajavka2023.xltx", "Zicl2021.xltx"}));
    {
        QTemporaryDir all;
        EXPECT_EQ(installDefaultTemplates(all.path()).size(), defaultTemplateNames().size());
        EXPECT_EQ(everyEntry(all.path()), defaultTemplateNames());
    }
    EXPECT_EQ(installDefaultTemplates(templates, kName),
              QStringList{templates + QStringLiteral("/Zajavka2023.xltx")});
    QFile installed(templates + QStringLiteral("/Zajavka2023.xltx"));
    ASSERT_TRUE(installed.open(QIODevice::ReadOnly));
    EXPECT_EQ(installed.readAll(), defaultTemplate(QStringLiteral("Zajavka2023.xltx")));
    installed.close();
    EXPECT_EQ(installDefaultTemplates(templates, kName), QStringList());

    // A template the user brought, in any form, is neither replaced nor hidden.
    for (const QString& own : {QStringLiteral("Zajavka2023.xlt"), QStringLiteral("zajavka2023.XLSX")}) {
        QTemporaryDir userDir;
        writeFile(userDir.filePath(own), "своё");
        EXPECT_EQ(installDefaultTemplates(userDir.path(), kName), QStringList());
        EXPECT_EQ(everyEntry(userDir.path()), QStringList{own});
    }

    // A folder that cannot be made is named.
    writeFile(dir.filePath(QStringLiteral("file")), "x");
    const QString blocked = dir.filePath(QStringLiteral("file/Templates"));
    const QString message = errorOf([&] { installDefaultTemplates(blocked, kName); });
    EXPECT_TRUE(message.contains(QDir::toNativeSeparators(blocked))) << message.toStdString();
}

TEST(DefaultTemplates, AnInstallOnAFullDiskLeavesNoBrokenTemplateBehind) {
    QTemporaryDir dir;
    const QString templates = dir.filePath(QStringLiteral("Templates"));
    ASSERT_TRUE(QDir().mkpath(templates));
    const QString target = templates + QStringLiteral("/Zajavka2023.xltx");
    QString message;
    {
        FileSizeLimit full(rlim_t(defaultTemplate(QStringLiteral("Zajavka2023.xltx")).size() / 2));
        if (!full.active())
            GTEST_SKIP() << "the file size limit cannot be set here";
        message = errorOf([&] { installDefaultTemplates(templates, kName); });
    }
    EXPECT_TRUE(message.contains(QDir::toNativeSeparators(target))) << message.toStdString();
    EXPECT_EQ(everyEntry(templates), QStringList());
    // With room on the disk again, the next print installs it whole.
    EXPECT_EQ(installDefaultTemplates(templates, kName), QStringList{target});
    QFile installed(target);
    ASSERT_TRUE(installed.open(QIODevice::ReadOnly));
    EXPECT_EQ(installed.readAll(), defaultTemplate(QStringLiteral("Zajavka2023.xltx")));
}

// The default template an earlier version installed is brought up to date, unless someone saved
// it in a spreadsheet program since (which names itself as the maker).
TEST(DefaultTemplates, AnEarlierDefaultNobodyChangedIsBroughtUpToDate) {
    const QByteArray current = defaultTemplate(QStringLiteral("Zajavka2023.xltx"));
    const XlsxReader parts(current);
    // The current default with its sheet changed, made by `maker`.
    auto earlier = [&](const std::string& maker) {
        std::map<std::string, std::string> changed;
        for (const std::string& name : parts.partNames())
            changed[name] = parts.part(name);
        std::string& sheet = changed["xl/worksheets/sheet1.xml"];
        sheet.replace(sheet.find("<cols>"), 6, "<cols><!-- narrower columns -->");
        std::string& app = changed["docProps/app.xml"];
        app.replace(app.find("zajavki"), 7, maker);
        return zipOf(changed);
    };
    const struct {
        const char* maker;
        bool replaced;
    } cases[] = {{"zajavki", true}, {"Microsoft Excel", false}, {"LibreOffice/7.4", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.maker);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Zajavka2023.xltx"));
        const QByteArray before = earlier(c.maker);
        writeFile(path, before);
        EXPECT_EQ(installDefaultTemplates(dir.path(), kName), c.replaced ? QStringList{path} : QStringList());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), c.replaced ? current : before);
        EXPECT_EQ(everyEntry(dir.path()), QStringList{"Zajavka2023.xltx"});
    }
}

// A pipe or a device under a template's name is found, not replaced, and refused when read:
// reading it would never end.
// Putting the program's templates back never loses the office's: a template that cannot be moved
// aside (a file of its name is there already) stops the reset with its name, the template in place.
TEST(DefaultTemplates, AResetThatCannotMoveATemplateAsideKeepsIt) {
    QTemporaryDir dir;
    const QString templates = dir.filePath("Templates"), aside = dir.filePath("Backup/aside");
    ASSERT_TRUE(QDir().mkpath(templates) && QDir().mkpath(aside));
    for (const QString& path : {templates + "/Plan.xltx", aside + "/Plan.xltx"}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("the office's own");
    }
    const QString message = errorOf([&] { resetTemplates(templates, aside); });
    EXPECT_TRUE(message.contains("Не удалось перенести шаблон")) << message.toStdString();
    EXPECT_TRUE(message.contains(QDir::toNativeSeparators(templates + "/Plan.xltx")));
    QFile kept(templates + "/Plan.xltx");
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "the office's own");
}

TEST(DefaultTemplates, ATemplateThatIsNotARegularFileIsRefusedByName) {
    struct Case {
        const char* what;
        std::function<bool(const QString& path)> make; // false: cannot be made here
    };
    const Case cases[] = {
        {"a pipe",
         [](const QString& path) { return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0; }},
        {"a link to a device",
         [](const QString& path) {
             return QFileInfo::exists("/dev/zero") && QFile::link("/dev/zero", path);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Zajavka2023.xltx"));
        if (!c.make(path))
            continue;
        EXPECT_EQ(installDefaultTemplates(dir.path(), kName), QStringList());
        EXPECT_EQ(ensureTemplate(dir.path(), kName, QString()), path);
        const QString message = errorOf([&] { Workbook::open(path); });
        EXPECT_TRUE(message.contains(QDir::toNativeSeparators(path))) << message.toStdString();
        EXPECT_TRUE(message.contains(QStringLiteral("не обычный файл"))) << message.toStdString();
        EXPECT_EQ(everyEntry(dir.path()), QStringList{"Zajavka2023.xltx"});
    }
    // A link to a template is a template.
    QTemporaryDir dir;
    const QString real = dir.filePath(QStringLiteral("real.xltx"));
    writeFile(real, defaultTemplate(QStringLiteral("Zajavka2023.xltx")));
    const QString link = dir.filePath(QStringLiteral("Zajavka2023.xltx"));
    ASSERT_TRUE(QFile::link(real, link));
    EXPECT_NO_THROW(Workbook::open(ensureTemplate(dir.path(), kName, QString())));
}

// The layout the program relies on: the title in A5, the institution in A11, the headings in
// row 13 and the model trainee row 14; landscape A4, one page wide.
TEST(DefaultTemplates, ApplicationFormLayout) {
    const XlsxReader form(defaultTemplate(QStringLiteral("Zajavka2023.xltx")));
    EXPECT_EQ(form.contentType("/xl/workbook.xml"),
              "application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml");
    const std::vector<std::string> headings = {"№ п/п",
                                               "Код программы",
                                               "Вид обучения",
                                               "Объём, час.",
                                               "Форма обучения",
                                               "Наименование программы",
                                               "Квартал",
                                               "Ф.И.О. слушателя",
                                               "Дата рождения",
                                               "Должность",
                                               "Общий стаж",
                                               "Стаж по специальности",
                                               "Специальность по диплому",
                                               "Дата сертификата / аккредитации",
                                               "Специальность сертификата",
                                               "E-mail",
                                               "СНИЛС"};
    for (int column = 1; column <= 17; ++column) {
        const auto heading = form.cell(refName(13, column));
        EXPECT_EQ(heading.text, headings[size_t(column - 1)]);
        const auto style = form.style(heading.style);
        EXPECT_TRUE(style.wrap);
        EXPECT_EQ(style.sides, (std::array<std::string, 4>{"thin", "thin", "thin", "thin"}));
        const auto model = form.cell(refName(14, column));
        EXPECT_TRUE(model.exists);
        EXPECT_EQ(model.value, "");
        EXPECT_EQ(form.style(model.style).sides,
                  (std::array<std::string, 4>{"thin", "thin", "thin", "thin"}));
    }
    EXPECT_EQ(form.style(form.cell("I14").style).formatCode, "dd\\.mm\\.yyyy");
    for (const char* numeric : {"A14", "D14", "K14", "L14"})
        EXPECT_EQ(form.style(form.cell(numeric).style).numFmtId, 0) << numeric;
    EXPECT_EQ(form.style(form.cell("A5").style).alignment, "center");
    EXPECT_EQ(form.cell("N3").text, "В ГАУ ДПО «ТОВЕКС»");

    const pugi::xml_node sheet = form.xml("xl/worksheets/sheet1.xml").child("worksheet");
    std::vector<std::string> merges;
    for (pugi::xml_node m : sheet.child("mergeCells").children("mergeCell"))
        merges.push_back(m.attribute("ref").value());
    for (const char* merge : {"A5:Q5", "A11:Q11"})
        EXPECT_NE(std::find(merges.begin(), merges.end(), merge), merges.end()) << merge;
    // Nothing below the model row: the footer moves with the number of trainees.
    for (pugi::xml_node row : sheet.child("sheetData").children("row"))
        EXPECT_LE(row.attribute("r").as_int(), 14);
    const pugi::xml_node page = sheet.child("pageSetup");
    EXPECT_STREQ(page.attribute("orientation").value(), "landscape");
    EXPECT_STREQ(page.attribute("paperSize").value(), "9");
    EXPECT_STREQ(page.attribute("fitToWidth").value(), "1");
    EXPECT_STREQ(page.attribute("fitToHeight").value(), "0");
    EXPECT_STREQ(sheet.child("sheetPr").child("pageSetUpPr").attribute("fitToPage").value(), "1");
}

// The columns are wide enough that no word of a heading, nor of the texts a column commonly
// holds, is broken inside; the headings fit their row.
TEST(DefaultTemplates, NoWordOfAHeadingOrACommonEntryIsBrokenInItsColumn) {
    const XlsxReader form(defaultTemplate(QStringLiteral("Zajavka2023.xltx")));
    const pugi::xml_node sheet = form.xml("xl/worksheets/sheet1.xml").child("worksheet");
    std::map<int, double> widths;
    for (pugi::xml_node col : sheet.child("cols").children("col"))
        for (int c = col.attribute("min").as_int(); c <= col.attribute("max").as_int(); ++c)
            widths[c] = col.attribute("width").as_double();
    std::vector<pugi::xml_node> fonts;
    for (pugi::xml_node font : form.xml("xl/styles.xml").child("styleSheet").child("fonts").children("font"))
        fonts.push_back(font);
    const double defaultFont = fonts.at(0).child("sz").attribute("val").as_double();
    auto fontOf = [&](const std::string& ref) {
        return fonts.at(size_t(form.style(form.cell(ref).style).fontId));
    };
    auto room = [&](int column) {
        return textRoomInCell(columnWidthInPoints(widths.at(column), defaultFont));
    };
    const double headingsHeight =
        sheet.child("sheetData").find_child_by_attribute("row", "r", "13").attribute("ht").as_double();

    for (int column = 1; column <= 17; ++column) {
        const std::string ref = refName(13, column);
        const pugi::xml_node font = fontOf(ref);
        const double size = font.child("sz").attribute("val").as_double();
        const bool bold = bool(font.child("b"));
        const QString heading = QString::fromStdString(form.cell(ref).text);
        for (const QString& word : heading.split(u' '))
            EXPECT_LE(estimatedTextWidth(word, size, bold), room(column)) << word.toStdString();
        EXPECT_LE(rowHeightForLines(wrappedLineCount(heading, room(column), size, bold), size),
                  headingsHeight)
            << ref;
    }
    const struct {
        const char* column;
        QString text;
    } entries[] = {
        {"J", "ВРАЧ-ТЕРАПЕВТ УЧАСТКОВЫЙ"},
        {"J", "МЕДИЦИНСКАЯ СЕСТРА ПАЛАТНАЯ"},
        {"I", "29.02.2000"},
        {"N", "12.03.2024"},
        {"Q", "112-233-445 95"},
        {"D", "1008"},
        {"B", "ПК-1234"},
        {"P", "mikhaylov.oa@yandex.ru"},
    };
    for (const auto& e : entries) {
        const std::string ref = std::string(e.column) + "14";
        const double size = fontOf(ref).child("sz").attribute("val").as_double();
        const int column = splitRef(ref).second;
        for (const QString& word : e.text.split(u' '))
            EXPECT_LE(estimatedTextWidth(word, size, false), room(column)) << word.toStdString();
    }
}

// The shipped template is what the generator script makes.
TEST(DefaultTemplates, TheGeneratorScriptMakesTheShippedTemplate) {
    const QString python = QStringLiteral(ZAJAVKI_PYTHON);
    if (python.isEmpty())
        GTEST_SKIP() << "no Python 3";
    QTemporaryDir out;
    QProcess script;
    script.start(python, {QStringLiteral(ZAJAVKI_SOURCE_DIR "/scripts/make-templates.py"), out.path()});
    ASSERT_TRUE(script.waitForFinished(60000));
    ASSERT_EQ(script.exitCode(), 0) << script.readAllStandardError().toStdString();
    for (const QString& name : defaultTemplateNames()) {
        QFile made(out.filePath(name));
        ASSERT_TRUE(made.open(QIODevice::ReadOnly)) << name.toStdString();
        const XlsxReader generated(made.readAll()), shipped(defaultTemplate(name));
        ASSERT_EQ(generated.partNames(), shipped.partNames());
        for (const std::string& part : shipped.partNames())
            EXPECT_EQ(generated.part(part), shipped.part(part)) << part;
    }
}

} // namespace
