#include "shell/WindowRegistry.h"

#include <QHash>

namespace {
QHash<QString, windows::ChildFactory>& children() {
    static QHash<QString, windows::ChildFactory> map;
    return map;
}
QHash<QString, windows::DialogFactory>& dialogs() {
    static QHash<QString, windows::DialogFactory> map;
    return map;
}
QHash<QString, windows::Action>& actions() {
    static QHash<QString, windows::Action> map;
    return map;
}
QHash<QString, QString>& helpSections() {
    static QHash<QString, QString> map;
    return map;
}
} // namespace

namespace windows {

namespace {
const ChildWindow kChildren[] = {
    {"OpenPersonal", "ftrPersonal", "Персонал"},
    {"OpenProgr", "ftrProgr", "Программы обучения"},
    {"OpenZajavki2023", "ftrZajavki2023", "Формирование заявок на 2026 - 2027 года "},
    {"OpenZajavki", "ftrZajavki", "Формирование заявок по гос.заданию"},
    {"OpenZajavki2021", "ftrZajavki2021", "Формирование заявок на 2022 год"},
};
} // namespace

const ChildWindow* childWindow(const QString& procedure) {
    for (const ChildWindow& c : kChildren)
        if (procedure == QLatin1String(c.procedure))
            return &c;
    return nullptr;
}

QString childCaption(const QString& procedure) {
    const ChildWindow* c = childWindow(procedure);
    return c ? QString::fromUtf8(c->caption) : QString();
}
void registerChild(const QString& procedure, ChildFactory factory) {
    children().insert(procedure, std::move(factory));
}
void registerDialog(const QString& procedure, DialogFactory factory) {
    dialogs().insert(procedure, std::move(factory));
}
void registerAction(const QString& item, Action action) {
    actions().insert(item, std::move(action));
}
ChildFactory child(const QString& procedure) {
    return children().value(procedure);
}
DialogFactory dialog(const QString& procedure) {
    return dialogs().value(procedure);
}
Action action(const QString& item) {
    return actions().value(item);
}
void registerHelp(const QString& objectName, const QString& section) {
    helpSections().insert(objectName, section);
}
QString helpSection(const QString& objectName) {
    return helpSections().value(objectName);
}
} // namespace windows
