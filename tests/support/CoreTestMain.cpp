// Test main of the core's tests: a QCoreApplication with a pinned Russian locale, so texts,
// number formats and upper-casing are the same on every machine. No widget is linked in.
#include "core/PrivateFiles.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QLocale>

int main(int argc, char** argv) {
    // What the tests write is made as the program makes it: its user's alone.
    private_files::restrictNewFiles();
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
