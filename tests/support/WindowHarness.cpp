#include "support/WindowHarness.h"
#include "app/Registration.h"

#include "service/DemoRoot.h"
#include "shell/ErrorGuard.h"
#include "shell/MainWindow.h"
#include "shell/StartupTables.h"
#include "shell/WindowRegistry.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QThread>

ScriptedDialogs::~ScriptedDialogs() {
    verify();
}

void ScriptedDialogs::verify() {
    for (const auto& s : script_)
        ADD_FAILURE() << "scripted dialog never opened: " << s.first.toStdString();
    script_.clear();
}

ScriptedDialogs& ScriptedDialogs::expect(const QString& objectName, Hand hand) {
    script_.emplace_back(objectName, std::move(hand));
    return *this;
}

int ScriptedDialogs::run(QDialog& dialog) {
    if (script_.empty()) {
        ADD_FAILURE() << "unscripted dialog opened: " << dialog.objectName().toStdString();
        return QDialog::Rejected;
    }
    auto [name, hand] = std::move(script_.front());
    script_.pop_front();
    EXPECT_EQ(name.toStdString(), dialog.objectName().toStdString());
    dialog.setResult(QDialog::Rejected);
    dialog.show();
    QCoreApplication::processEvents();
    hand(dialog);
    if (dialog.isVisible()) {
        ADD_FAILURE() << "dialog left open by the test: " << dialog.objectName().toStdString();
        dialog.done(QDialog::Rejected);
    }
    return dialog.result();
}

AppHarness::AppHarness(bool openTables, bool demoData) : app(RootPaths(dir.path()), clock, prompter) {
    app.dialogs = &dialogs;
    setErrorPrompter(&prompter);
    registerAllWindows();
    useTestServer(app, server);
    app.openStore();
    if (demoData)
        demo::fill(*app.store, clock.today());
    if (openTables) {
        app.state.CurYear = quint16(clock.today().year());
        app.createDataModule();
        openStartupTables(
            *app.DM, [](const StartupTable&) {},
            [](const StartupTable& t, const QString& why) {
                ADD_FAILURE() << t.object.toStdString() << ": " << why.toStdString();
            });
    }
}

AppHarness::~AppHarness() {
    main.reset();
    setErrorPrompter(nullptr);
}

MainWindow& AppHarness::mainWindow() {
    if (!main) {
        main = std::make_unique<MainWindow>(app);
        if (app.DM)
            main->skipStartUp();
    }
    return *main;
}

bool waitUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

namespace ui {

QWidget* find(QWidget* root, const QString& name) {
    QWidget* w = root->objectName() == name ? root : root->findChild<QWidget*>(name);
    if (!w)
        ADD_FAILURE() << "no widget named " << name.toStdString() << " in "
                      << root->objectName().toStdString();
    return w;
}

void click(QWidget* root, const QString& name) {
    if (auto* b = qobject_cast<QAbstractButton*>(find(root, name))) {
        QTest::mouseClick(b, Qt::LeftButton);
        QCoreApplication::processEvents();
    } else {
        ADD_FAILURE() << name.toStdString() << " is not a button";
    }
}

void type(QWidget* root, const QString& name, const QString& text) {
    if (QWidget* w = find(root, name)) {
        if (auto* line = qobject_cast<QLineEdit*>(w)) {
            // Typing goes on after what the box holds; in a masked box, at its first blank.
            const int blank = line->inputMask().isEmpty() ? -1 : line->displayText().indexOf(u'_');
            line->setCursorPosition(blank >= 0 ? blank : int(line->text().size()));
        }
        // Key events carrying the text, so that Cyrillic letters type as a keyboard types them.
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(w, &press);
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(w, &release);
        }
        QCoreApplication::processEvents();
    }
}

void clear(QWidget* root, const QString& name) {
    if (QWidget* w = find(root, name)) {
        if (auto* line = qobject_cast<QLineEdit*>(w))
            line->selectAll();
        else if (auto* memo = qobject_cast<QPlainTextEdit*>(w))
            memo->selectAll();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Delete, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &release);
        QCoreApplication::processEvents();
    }
}

void key(QWidget* root, const QString& name, int k) {
    if (QWidget* w = find(root, name))
        QTest::keyClick(w, Qt::Key(k));
}

QString text(QWidget* root, const QString& name) {
    QWidget* w = find(root, name);
    if (auto* line = qobject_cast<QLineEdit*>(w))
        return line->text();
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->text();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(w))
        return memo->toPlainText();
    return {};
}

void focusOut(QWidget* root, const QString& name) {
    if (QWidget* w = find(root, name)) {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(w, &out);
        QCoreApplication::processEvents();
    }
}

} // namespace ui
