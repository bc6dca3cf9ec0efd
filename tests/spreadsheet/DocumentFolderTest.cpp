// Saving filled workbooks into the Documents folder: a new name each time, nothing overwritten,
// nothing left behind when the folder or the disk cannot take the file, never into Base.
#include "support/FileSizeLimit.h"
#include "support/TemplateRoot.h"
#include "support/XlsxReader.h"

#include "core/UserError.h"
#include "spreadsheet/DocumentError.h"
#include "spreadsheet/DocumentFolder.h"
#include "spreadsheet/DocumentOpener.h"
#include "spreadsheet/Workbook.h"

#include <QDir>
#include <QFile>
#include <unistd.h>

namespace {

QStringList everyEntry(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

class Documents : public ::testing::Test, protected TemplateRoot {};

TEST_F(Documents, EachSaveTakesANewName) {
    Workbook book = Workbook::open(templatePath);
    const DocumentFolder folder(root.documents());
    QStringList saved;
    QList<QByteArray> contents;
    for (int i = 1; i <= 3; ++i) {
        book.setInteger("A14", i);
        saved.append(folder.save(book, QStringLiteral("Заявка 116 2026")));
        contents.append(bytesOf(saved.last()));
    }
    EXPECT_EQ(saved, (QStringList{root.documents() + QStringLiteral("/Заявка 116 2026.xlsx"),
                                  root.documents() + QStringLiteral("/Заявка 116 2026 (2).xlsx"),
                                  root.documents() + QStringLiteral("/Заявка 116 2026 (3).xlsx")}));
    // The earlier documents are as they were written; no temporary file is left.
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(bytesOf(saved[i]), contents[i]);
        EXPECT_EQ(XlsxReader(contents[i]).cell("A14").value, std::to_string(i + 1));
    }
    EXPECT_EQ(everyEntry(root.documents()).size(), 3);
    // With the permissions of any new file there.
    QFile plain(dir.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    EXPECT_EQ(QFileInfo(saved[0]).permissions(), QFileInfo(plain.fileName()).permissions());
    EXPECT_EQ(folder.freeName(QStringLiteral("Заявка 116 2026")),
              root.documents() + QStringLiteral("/Заявка 116 2026 (4).xlsx"));
}

TEST_F(Documents, TitlesBecomeFileNames) {
    const DocumentFolder folder(root.documents());
    EXPECT_EQ(folder.freeName(QStringLiteral("Заявка 1/2: \"итог\"")),
              root.documents() + QStringLiteral("/Заявка 1_2_ _итог_.xlsx"));
    EXPECT_EQ(folder.freeName(QStringLiteral(" .. ")), root.documents() + QStringLiteral("/Документ.xlsx"));
    // Placeholders in a title are text like any other.
    const QString title = QStringLiteral("Заявка %1 %2");
    EXPECT_EQ(folder.save(Workbook::open(templatePath), title),
              root.documents() + QStringLiteral("/Заявка %1 %2.xlsx"));
    EXPECT_EQ(folder.freeName(title), root.documents() + QStringLiteral("/Заявка %1 %2 (2).xlsx"));
}

TEST_F(Documents, AFullDiskFailsLoudlyAndLeavesEveryFileAsItWas) {
    const Workbook book = Workbook::open(templatePath);
    const DocumentFolder folder(root.documents());
    const QString earlier = folder.save(book, QStringLiteral("Заявка 116 2026"));
    const QString old = root.documents() + QStringLiteral("/Заявка.xlsx");
    {
        QFile f(old);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("the old file");
    }
    const QByteArray earlierBytes = bytesOf(earlier);
    ASSERT_GT(earlierBytes.size(), 2000);

    const struct {
        const char* what;
        std::function<void()> write;
        QString named;
    } cases[] = {
        {"replacing a file", [&] { book.saveAs(old); }, old},
        {"a new document", [&] { folder.save(book, QStringLiteral("Заявка 116 2026")); },
         root.documents() + QStringLiteral("/Заявка 116 2026 (2).xlsx")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QString message;
        {
            FileSizeLimit full(rlim_t(earlierBytes.size() / 2));
            if (!full.active())
                GTEST_SKIP() << "the file size limit cannot be set here";
            try {
                c.write();
            } catch (const DocumentError& e) {
                message = e.message();
            }
        }
        EXPECT_TRUE(message.contains(QDir::toNativeSeparators(c.named))) << message.toStdString();
        EXPECT_EQ(bytesOf(old), "the old file");
        EXPECT_EQ(bytesOf(earlier), earlierBytes);
        EXPECT_EQ(everyEntry(root.documents()),
                  (QStringList{QFileInfo(earlier).fileName(), QFileInfo(old).fileName()}));
    }
}

TEST_F(Documents, ADocumentNeverLandsInTheBaseFolder) {
    // Documents leading into Base through a link: the document is refused, Base stays as it was.
    const QString base = root.base();
    {
        QFile store(root.storeFile());
        ASSERT_TRUE(store.open(QIODevice::WriteOnly));
        store.write("database");
    }
    ASSERT_TRUE(QDir(root.documents()).removeRecursively());
    ASSERT_TRUE(QFile::link(base, root.documents()));
    try {
        DocumentFolder(root).save(Workbook::open(templatePath), QStringLiteral("Заявка 116 2026"));
        ADD_FAILURE() << "saved";
    } catch (const DocumentError& e) {
        EXPECT_EQ(e.message(),
                  RootPaths::insideBaseMessage(root.documents() + QStringLiteral("/Заявка 116 2026.xlsx")));
    }
    EXPECT_EQ(everyEntry(base), QStringList{QFileInfo(root.storeFile()).fileName()});
    EXPECT_EQ(bytesOf(root.storeFile()), "database");
}

TEST_F(Documents, AFolderThatCannotBeWrittenLeavesNothingBehind) {
    Workbook book = Workbook::open(templatePath);
    struct Case {
        const char* what;
        std::function<bool(const QString& documents)> prepare; // false: cannot be set up here
    };
    const Case cases[] = {
        {"Documents is a file",
         [](const QString& documents) {
             QDir(documents).removeRecursively();
             QFile f(documents);
             return f.open(QIODevice::WriteOnly);
         }},
        {"Documents is read-only",
         [](const QString& documents) {
             // The superuser writes anyway: then there is nothing to check.
             return ::geteuid() != 0 && QFile::setPermissions(documents, QFile::ReadOwner | QFile::ExeOwner);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TemplateRoot fresh;
        const QString documents = fresh.root.documents();
        if (!c.prepare(documents))
            continue;
        try {
            DocumentFolder(documents).save(book, QStringLiteral("Заявка 116 2026"));
            ADD_FAILURE() << "saved";
        } catch (const DocumentError& e) {
            EXPECT_TRUE(e.message().contains(
                QDir::toNativeSeparators(documents + QStringLiteral("/Заявка 116 2026.xlsx"))))
                << e.message().toStdString();
        }
        if (QFileInfo(documents).isDir()) {
            EXPECT_EQ(everyEntry(documents), QStringList());
            QFile::setPermissions(documents, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
    }
}

TEST_F(Documents, SaveAsNamesTheFileItCannotWrite) {
    Workbook book = Workbook::open(templatePath);
    const QString target = root.documents() + QStringLiteral("/нет такой папки/Заявка.xlsx");
    try {
        book.saveAs(target);
        ADD_FAILURE() << "saved";
    } catch (const DocumentError& e) {
        EXPECT_TRUE(e.message().contains(QDir::toNativeSeparators(target))) << e.message().toStdString();
    }
    EXPECT_EQ(everyEntry(root.documents()), QStringList());
    // Written where it can be, replacing the file of that name.
    const QString file = root.documents() + QStringLiteral("/Заявка.xlsx");
    book.setText("A11", QStringLiteral("первая"));
    book.saveAs(file);
    book.setText("A11", QStringLiteral("вторая"));
    book.saveAs(file);
    EXPECT_EQ(XlsxReader::fromFile(file).cell("A11").text, "вторая");
    EXPECT_EQ(everyEntry(root.documents()), QStringList{QStringLiteral("Заявка.xlsx")});
}

TEST(DocumentOpenerHook, OpensThroughTheOpenerTheProgramSet) {
    setDocumentOpener({});
    EXPECT_NO_THROW(openDocument(QStringLiteral("нет.xlsx"))); // no desktop: nothing to do
    QStringList opened;
    setDocumentOpener([&](const QString& path) {
        opened.append(path);
        return !path.contains(QStringLiteral("сломан"));
    });
    openDocument(QStringLiteral("docs/Заявка 116 2026.xlsx"));
    EXPECT_EQ(opened, QStringList{QStringLiteral("docs/Заявка 116 2026.xlsx")});
    try {
        openDocument(QStringLiteral("docs/сломан.xlsx"));
        ADD_FAILURE() << "no word of it";
    } catch (const PartialSuccess& e) { // saved, only not opened: said as information

        EXPECT_TRUE(e.message().contains(QDir::toNativeSeparators(QStringLiteral("docs/сломан.xlsx"))));
    }
    setDocumentOpener({});
}

} // namespace
