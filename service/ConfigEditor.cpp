#include "service/ConfigEditor.h"

#include "data/DataModule.h"
#include "data/DbError.h"
#include "core/Prompter.h"

ConfigEditor::Outcome ConfigEditor::save() {
    Table& config = *dm_.tblConfig;
    config.updateRecord(); // what the boxes hold, before it is checked
    struct Check {
        const char* field;
        const char* message;
        const char* box;
    };
    static const Check checks[] = {
        {"tblConfigNLPU", "Не задали название организации!", "DBEdit1"},
        {"tblConfigBoss", "Не задали руководителя!", "DBEdit2"},
        {"tblConfigUser", "Не задали исполнителя!", "DBEdit3"},
        {"tblConfigKZajavki", "Не задали номер договора!", "DBEdit5"},
    };
    for (const Check& c : checks) {
        if (dm_.field(QString::fromLatin1(c.field)).displayText().isEmpty()) {
            prompter_.inform(QString::fromUtf8(c.message));
            return {false, QString::fromLatin1(c.box)};
        }
    }
    for (Table* t : {dm_.tblConfig, dm_.tblLPUDETAILS}) {
        if (t->isModified())
            t->post();
        else
            t->cancel(); // an untouched edit or empty new row writes nothing
    }
    return {true, {}};
}

ConfigEditor::Outcome ConfigEditor::exit() {
    Table& config = *dm_.tblConfig;
    bool refused = false;
    try {
        config.updateRecord();
    } catch (const DbError&) {
        refused = true; // a value the field refuses is an unsaved change all the same
    }
    if (config.isModified() || refused) {
        if (prompter_.confirmWithBeep(QStringLiteral("Запись не сохранена. Сохраненить? "))) {
            config.post();
            return {true, {}};
        }
    }
    config.cancel();
    return {true, {}};
}
