#pragma once
// The rules of the parameters dialog, without widgets: the checks and the save of the
// institution's row in Config.db, and the question when leaving with unsaved changes. A table
// that did not open at start-up is left alone: what can be saved is saved, the dialog can always
// be left, and the user is told what is missing.
#include <QString>

class Prompter;
class DataModule;

class ConfigEditor {
public:
    ConfigEditor(DataModule& dm, Prompter& prompter) : dm_(dm), prompter_(prompter) {}

    struct Outcome {
        bool close = false;
        QString focus; // the box to put the focus into when the dialog stays open
    };

    // "Сохранить": the four checks in order, each with its message and box; then the changes of
    // Config.db and LPUDETAILS.db are posted. Throws DbError when a typed value is refused.
    Outcome save();
    // "Выход" (and the window's close box): with unsaved changes, asks whether to save them;
    // Yes posts them without the checks, anything else discards them.
    Outcome exit();

    // What the dialog cannot show because its table did not open; empty when both are open.
    static QString unavailableNote(const DataModule& dm);

private:
    DataModule& dm_;
    Prompter& prompter_;
};
