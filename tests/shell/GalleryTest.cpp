// zajavki gallery DIR: one picture per window of the showcase, drawn on the demonstration data.
#include "app/GalleryCommand.h"
#include "app/Registration.h"
#include "core/CommandLine.h"
#include "data/SqliteStore.h"
#include "service/DemoRoot.h"
#include "shell/Showcase.h"
#include "shell/WindowRegistry.h"
#include "support/TempStore.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

namespace {

int gallery(const QStringList& arguments, QString* output = nullptr, QString* errors = nullptr) {
    registerGalleryCommand();
    QString o, e;
    QTextStream out(&o), err(&e);
    const int status = runCommand(CommandLine::parse(arguments), out, err);
    out.flush();
    err.flush();
    if (output)
        *output = o;
    if (errors)
        *errors = e;
    return status;
}

TEST(Gallery, DrawsEveryWindowIntoItsOwnPicture) {
    QTemporaryDir dir;
    const QString target = dir.filePath("pictures");
    QString output, errors;
    ASSERT_EQ(gallery({"gallery", target}, &output, &errors), 0) << errors.toStdString();
    EXPECT_EQ(errors, ""); // no window had anything to say on the demonstration data
    registerAllWindows();
    QStringList expected;
    for (const windows::Showcase& s : windows::showcases())
        expected << s.name() + ".png";
    QStringList written = QDir(target).entryList(QDir::Files);
    expected.sort();
    written.sort();
    EXPECT_EQ(written, expected);
    for (const QString& file : written) {
        const QImage image(QDir(target).filePath(file));
        EXPECT_FALSE(image.isNull()) << file.toStdString();
        EXPECT_GT(image.width(), 100) << file.toStdString();
        EXPECT_GT(image.height(), 100) << file.toStdString();
    }
    EXPECT_EQ(output.count('\n'), expected.size()); // one line per picture
}

TEST(Gallery, DrawsTheWindowsOfAGivenRootWithoutTouchingIt) {
    // A person marked for adding: opening the adding dialog clears the marks, in the copy only.
    TempStore root;
    demo::fill(*root.store, QDate(2026, 3, 15));
    root.store->exec("UPDATE Personal SET PR = 'X'");
    root.store.reset();
    QTemporaryDir dir;
    QString errors;
    ASSERT_EQ(gallery({"gallery", dir.filePath("p"), "--root", root.root.root()}, nullptr, &errors), 0)
        << errors.toStdString();
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("p/ftrInsertSluch2023.png")));
    root.store = SqliteStore::open(root.root.storeFile());
    auto unmarked = root.store->cached("SELECT COUNT(*) FROM Personal WHERE PR IS NOT 'X'");
    ASSERT_TRUE(unmarked->step());
    EXPECT_EQ(unmarked->int64(0), 0);
}

TEST(Gallery, RefusesAMissingFolderArgumentAndARootWithoutDatabase) {
    QString errors;
    EXPECT_EQ(gallery({"gallery"}, nullptr, &errors), 2);
    EXPECT_TRUE(errors.contains("zajavki gallery ПАПКА")) << errors.toStdString();
    QTemporaryDir dir;
    EXPECT_EQ(gallery({"gallery", dir.filePath("p"), "--root", dir.filePath("empty")}, nullptr, &errors), 1);
    EXPECT_TRUE(errors.contains("нет базы данных программы")) << errors.toStdString();
}

} // namespace
