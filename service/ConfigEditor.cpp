#include "service/ConfigEditor.h"

#include "core/Prompter.h"
#include "data/DataModule.h"
#include "data/DbError.h"
#include "data/RequiredFields.h"

namespace {
const char* const kSettingsClosed =
    "Параметры организации недоступны: их таблица не открылась при запуске программы.";
const char* const kDetailsClosed =
    "Банковские реквизиты недоступны: их таблица не открылась при запуске программы.";
} // namespace

QString ConfigEditor::unavailableNote(const DataModule& dm) {
    QStringList lines;
    if (!dm.tblConfig->isActive())
        lines << QString::fromUtf8(kSettingsClosed);
    if (!dm.tblLPUDETAILS->isActive())
        lines << QString::fromUtf8(kDetailsClosed);
    return lines.join(u'\n');
}

ConfigEditor::Outcome ConfigEditor::save() {
    Table& config = *dm_.tblConfig;
    if (!config.isActive()) {
        prompter_.inform(
            QStringLiteral("Параметры организации сохранить нельзя: их таблица не открылась при запуске "
                           "программы. Перезапустите программу; если ошибка повторится, обратитесь к "
                           "администратору."));
        return {false, {}};
    }
    config.updateRecord(); // what the boxes hold, before it is checked
    static const QList<RequiredField> required{
        {fld::NLPU, QStringLiteral("Не задали название организации!"), QStringLiteral("DBEdit1")},
        {fld::Boss, QStringLiteral("Не задали руководителя!"), QStringLiteral("DBEdit2")},
        {fld::User, QStringLiteral("Не задали исполнителя!"), QStringLiteral("DBEdit3")},
        {fld::KZajavki, QStringLiteral("Не задали номер договора!"), QStringLiteral("DBEdit5")},
    };
    if (const auto missing = firstMissing(config, required)) {
        prompter_.inform(missing->message);
        return {false, missing->box};
    }
    if (config.isModified())
        config.post();
    else
        config.cancel(); // an untouched edit or empty new row writes nothing

    // The institution's own data are saved by now; the bank details follow when they can.
    Table& details = *dm_.tblLPUDETAILS;
    if (!details.isActive()) {
        prompter_.inform(
            QStringLiteral("Параметры организации сохранены. Банковские реквизиты не сохранены: их "
                           "таблица не открылась при запуске программы."));
        return {true, {}};
    }
    try {
        if (details.isModified())
            details.post();
        else
            details.cancel();
    } catch (const DbError& e) {
        details.cancel();
        prompter_.inform(
            QStringLiteral("Параметры организации сохранены. Банковские реквизиты не сохранены: ") +
            e.message());
    }
    return {true, {}};
}

ConfigEditor::Outcome ConfigEditor::exit() {
    Table& config = *dm_.tblConfig;
    if (!config.isActive())
        return {true, {}}; // nothing could be typed: there is nothing to ask about
    bool refused = false;
    try {
        config.updateRecord();
    } catch (const DbError&) {
        refused = true; // a value the field refuses is an unsaved change all the same
    }
    if (config.isModified() || refused) {
        if (prompter_.confirmWithBeep(QStringLiteral("Запись не сохранена. Сохранить?"))) {
            config.post();
            return {true, {}};
        }
    }
    config.cancel();
    return {true, {}};
}
