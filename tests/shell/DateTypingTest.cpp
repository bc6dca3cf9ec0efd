// Dates typed with the keys, as clerks type them, into every date box of the program's windows,
// then read back from where the box puts them: the field of a bound box, the certificate that
// "ОК" stores.
#include "app/Registration.h"
#include "core/DateText.h"
#include "data/DataModule.h"
#include "data/Table.h"
#include "shell/DateBox.h"
#include "shell/DbEdit.h"
#include "shell/MainWindow.h"
#include "shell/Showcase.h"
#include "shell/WindowRegistry.h"
#include "support/WindowHarness.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QClipboard>
#include <QTest>

namespace {

struct Typing {
    const char* how;
    std::function<void(QLineEdit*)> act;
    QDate expected;
};

void keys(QLineEdit* box, const QString& text) {
    for (QChar c : text)
        QTest::keyClick(box, c.toLatin1());
}

void selectAllAndType(QLineEdit* box, const QString& text) {
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    keys(box, text);
}

void paste(QLineEdit* box, const QString& text) {
    QApplication::clipboard()->setText(text);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
}

const QDate kTyped(2028, 3, 20);

QList<Typing> typings() {
    return {
        {"select all, type with dots", [](QLineEdit* b) { selectAllAndType(b, "20.03.2028"); }, kTyped},
        {"select all, type digits only", [](QLineEdit* b) { selectAllAndType(b, "20032028"); }, kTyped},
        {"Home, type over with dots",
         [](QLineEdit* b) {
             QTest::keyClick(b, Qt::Key_Home);
             keys(b, "20.03.2028");
         },
         kTyped},
        {"Home, type over digits only",
         [](QLineEdit* b) {
             QTest::keyClick(b, Qt::Key_Home);
             keys(b, "20032028");
         },
         kTyped},
        {"one-digit day and month", [](QLineEdit* b) { selectAllAndType(b, "5.3.2028"); }, QDate(2028, 3, 5)},
        {"paste with dots", [](QLineEdit* b) { paste(b, "20.03.2028"); }, kTyped},
        {"paste digits only", [](QLineEdit* b) { paste(b, "20032028"); }, kTyped},
        {"paste year first", [](QLineEdit* b) { paste(b, "2028-03-20"); }, kTyped},
        {"paste with spaces and one digit", [](QLineEdit* b) { paste(b, " 20.3.2028 "); }, kTyped},
    };
}

// The date boxes a user can type into, in a window of the showcase.
QList<QLineEdit*> dateBoxes(QWidget* window) {
    QList<QLineEdit*> out;
    for (QLineEdit* box : window->findChildren<QLineEdit*>()) {
        if (!box->isVisibleTo(window) || box->isReadOnly())
            continue;
        auto* bound = qobject_cast<DbEdit*>(box);
        if (qobject_cast<DateBox*>(box) ||
            (bound && bound->link()->field() && bound->link()->field()->type() == FieldType::Date))
            out << box;
    }
    return out;
}

// Where the box puts its date: a bound box's field once the box is left, a free box's own date.
QDate taken(QLineEdit* box) {
    if (auto* bound = qobject_cast<DbEdit*>(box)) {
        ui::focusOut(box->window(), box->objectName());
        const Field* f = bound->link()->field();
        return f->isNull() ? QDate() : f->asDate();
    }
    return static_cast<DateBox*>(box)->date();
}

// Types every way into one box, then an impossible date, and leaves the box with a date.
void typeEveryWay(QLineEdit* box, ScriptedPrompter& prompter, const std::string& where) {
    for (const Typing& t : typings()) {
        box->setFocus();
        t.act(box);
        EXPECT_EQ(taken(box), t.expected)
            << where << ": " << t.how << ", shown «" << box->displayText().toStdString() << "»";
    }
    const qsizetype errorsBefore = prompter.log().filter(QStringLiteral("error:")).size();
    selectAllAndType(box, "31.02.2028");
    EXPECT_EQ(box->displayText(), QStringLiteral("31.02.2028")) << where << ": the box keeps what was typed";
    if (auto* bound = qobject_cast<DbEdit*>(box)) {
        ui::focusOut(box->window(), box->objectName());
        const QStringList errors = prompter.log().filter(QStringLiteral("error:"));
        ASSERT_EQ(errors.size(), errorsBefore + 1) << where;
        EXPECT_TRUE(errors.last().contains(QStringLiteral("дата, которой нет: «31.02.2028»"))) << where;
        EXPECT_EQ(bound->link()->field()->asDate(), typings().last().expected)
            << where << ": the stored date is kept";
    } else {
        EXPECT_FALSE(static_cast<DateBox*>(box)->date().isValid()) << where;
        EXPECT_TRUE(static_cast<DateBox*>(box)->problem().startsWith(QStringLiteral("Такой даты нет")))
            << where;
    }
    selectAllAndType(box, "20.03.2028");
    taken(box);
}

TEST(DateTyping, EveryDateBoxOfEveryWindowTakesTheDateAsTyped) {
    registerAllWindows();
    QStringList tried;
    for (const windows::Showcase& showcase : windows::showcases()) {
        AppHarness h(true, true);
        h.prompter.answerUnscripted(Prompter::Answer::No, {});
        std::unique_ptr<QWidget> window = windows::openShowcase(showcase, h.mainWindow());
        for (QLineEdit* box : dateBoxes(window.get())) {
            const QString where = showcase.name() + u'/' + box->objectName();
            tried << where;
            typeEveryWay(box, h.prompter, where.toStdString());
        }
    }
    // The register's card, the certificate dialogs and the trainee editors of every generation.
    for (const char* expected : {"ftrMSertif/DateTimePicker1", "ftrMSLSertif/DateTimePicker1",
                                 "ftrMZajavki2023/DBEdit11", "ftrMPersonal/DBEdit4"})
        EXPECT_TRUE(tried.contains(QString::fromLatin1(expected)))
            << expected << " in " << tried.join(", ").toStdString();
}

TEST(DateText, ReadsTheUsualFormsAndNothingElse) {
    const struct {
        const char* text;
        QDate date;
    } cases[] = {
        {"20.03.2028", kTyped},
        {"20.3.2028", kTyped},
        {"20/03/2028", kTyped},
        {"20032028", kTyped},
        {"2028-03-20", kTyped},
        {" 20 . 03 . 2028 ", kTyped},
        {"31.02.2028", {}},
        {"00.03.2028", {}},
        {"20.13.2028", {}},
        {"20.03.28", {}},
        {"", {}},
        {"  .  .    ", {}},
        {"двадцатое", {}},
        {"2003202", {}},
        {"29.02.2028", QDate(2028, 2, 29)},
        {"29.02.2027", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(datetext::parse(QString::fromUtf8(c.text)), c.date) << c.text;
    EXPECT_TRUE(datetext::problem("31.02.2028").startsWith(QStringLiteral("Такой даты нет")));
    EXPECT_TRUE(datetext::problem("20.03.20").contains(QStringLiteral("не дата")));
    EXPECT_EQ(datetext::problem(".."), "");
    EXPECT_EQ(datetext::problem("20.03.2028"), "");
}

} // namespace
