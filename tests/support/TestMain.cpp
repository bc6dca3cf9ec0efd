// Test main: a QApplication on the offscreen platform with a pinned Russian locale,
// so texts, number formats and upper-casing are the same on every machine.
#include "core/PrivateFiles.h"
#include "shell/ErrorGuard.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QLocale>

int main(int argc, char** argv) {
    // What the tests write is made as the program makes it: its user's alone.
    private_files::restrictNewFiles();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    GuardedApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
