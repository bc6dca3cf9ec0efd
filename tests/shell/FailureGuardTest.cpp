// No exception ever reaches Qt's event loop: whatever an event handler lets escape is shown as an
// error and the program goes on. Shown over the whole showcase: with the Documents and Export
// folders made files, every print and export button of every window fails, and each failure is
// an error the clerk reads.
#include "app/Registration.h"
#include "data/DbError.h"
#include "shell/ErrorGuard.h"
#include "shell/MainWindow.h"
#include "shell/Showcase.h"
#include "shell/WindowRegistry.h"
#include "support/WindowHarness.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

namespace {

// A widget whose mouse handler throws what it is given.
class Throwing : public QWidget {
public:
    std::function<void()> fault;

protected:
    void mousePressEvent(QMouseEvent*) override { fault(); }
};

TEST(FailureGuard, WhatAnEventHandlerLetsEscapeIsShownAndTheProgramGoesOn) {
    AppHarness h(false);
    setErrorPrompter(&h.prompter);
    struct Case {
        std::function<void()> fault;
        QString shown;
    };
    const Case cases[] = {
        {[] { throw DbError("Таблица занята"); }, "Таблица занята"},
        {[] { throw std::bad_alloc(); }, "Не хватило памяти для этого действия."},
        {[] { throw std::runtime_error("No space left on device"); }, "на диске нет места"},
        {[] { throw 42; }, "Внутренняя ошибка программы."},
    };
    for (const Case& c : cases) {
        Throwing widget;
        widget.fault = c.fault;
        h.prompter.expectError(c.shown);
        QTest::mouseClick(&widget, Qt::LeftButton);
        h.prompter.verify();
    }
}

bool printsOrExports(QAbstractButton* b) {
    const QString words = (b->text() + u' ' + b->toolTip()).toLower();
    return words.contains(QStringLiteral("печать")) || words.contains(QStringLiteral("выгруз"));
}

// Makes a folder a file: nothing can be written into it any more.
void blockFolder(const QString& folder) {
    QDir(folder).removeRecursively();
    QFile file(folder);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

TEST(FailureGuard, EveryPrintAndExportThatFailsInAnyWindowIsShown) {
    registerAllWindows();
    int clicked = 0;
    for (const windows::Showcase& s : windows::showcases()) {
        SCOPED_TRACE(s.name().toStdString());
        AppHarness h(true, true);
        setErrorPrompter(&h.prompter);
        std::unique_ptr<QWidget> window = windows::openShowcase(s, h.mainWindow());
        blockFolder(h.app.root.documents());
        blockFolder(h.app.root.exportDir());
        h.prompter.answerUnscripted(Prompter::Answer::Yes, h.app.root.exportDir() + "/ZES.db");
        for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
            if (!button->isVisibleTo(window.get()) || !button->isEnabled() || !printsOrExports(button))
                continue;
            SCOPED_TRACE(button->objectName().toStdString());
            const int errorsBefore = int(h.prompter.log().filter("error: ").size());
            QTest::mouseClick(button, Qt::LeftButton);
            QCoreApplication::processEvents();
            ++clicked;

            const QStringList errors = h.prompter.log().filter("error: ").mid(errorsBefore);
            EXPECT_EQ(errors.size(), 1) << h.prompter.log().join('\n').toStdString();
            for (const QString& e : errors)
                EXPECT_FALSE(e.contains(QRegularExpression("[A-Za-z]{4,} [a-z]{3,}")))
                    << "in Russian: " << e.toStdString();
        }
    }
    EXPECT_GE(clicked, 10) << "the showcase has print and export buttons";
}

} // namespace
