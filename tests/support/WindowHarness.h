#pragma once
// Opening the real windows in tests: a temporary root, a scripted prompter, a fixed clock, a
// scripted hand for modal dialogs, and helpers to click, type and read what is shown.
#include "data/AppContext.h"
#include "shell/DialogRunner.h"
#include "support/ScriptedPrompter.h"
#include "support/TempStore.h"

#include <deque>
#include <functional>
#include <memory>
#include <QDialog>
#include <QTemporaryDir>

class MainWindow;

// Runs modal dialogs by script: each expected dialog (by object name) is handed to a function
// that acts on it while it is "open". A dialog that was not expected fails the test.
class ScriptedDialogs : public DialogRunner {
public:
    using Hand = std::function<void(QDialog&)>;
    ~ScriptedDialogs() override;
    ScriptedDialogs& expect(const QString& objectName, Hand hand);
    int run(QDialog& dialog) override;
    void verify();

private:
    std::deque<std::pair<QString, Hand>> script_;
};

struct AppHarness {
    // openTables: create the data module and open every table, as the start-up does.
    // demoData: the store is filled with the demonstration data first (service/DemoRoot.h).
    explicit AppHarness(bool openTables = true, bool demoData = false);
    ~AppHarness();

    MainWindow& mainWindow(); // created on first use, not shown
    DataModule& dm() { return *app.DM; }

    QTemporaryDir dir;
    ScriptedPrompter prompter;
    FixedClock clock{QDate(2026, 3, 15)};
    ScriptedDialogs dialogs;
    std::optional<ServerStoreDatabase> server; // the store, when the tests run against the server
    AppContext app;
    std::unique_ptr<MainWindow> main;
};

// Pumps events until `done` holds or `ms` pass; returns whether it held.
bool waitUntil(const std::function<bool()>& done, int ms = 3000);

namespace ui {
QWidget* find(QWidget* root, const QString& name); // fails the test when absent
void click(QWidget* root, const QString& name);
void type(QWidget* root, const QString& name, const QString& text); // into a box, as keystrokes
void clear(QWidget* root, const QString& name);                     // select all, delete
void key(QWidget* root, const QString& name, int key);
QString text(QWidget* root, const QString& name); // line edit, label, button, memo
void focusOut(QWidget* root, const QString& name);
} // namespace ui
