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
} // namespace

namespace windows {
void registerChild(const QString& procedure, ChildFactory factory) { children().insert(procedure, std::move(factory)); }
void registerDialog(const QString& procedure, DialogFactory factory) { dialogs().insert(procedure, std::move(factory)); }
void registerAction(const QString& item, Action action) { actions().insert(item, std::move(action)); }
ChildFactory child(const QString& procedure) { return children().value(procedure); }
DialogFactory dialog(const QString& procedure) { return dialogs().value(procedure); }
Action action(const QString& item) { return actions().value(item); }
} // namespace windows
