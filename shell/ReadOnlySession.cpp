#include "shell/ReadOnlySession.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QMdiSubWindow>
#include <QWidget>

namespace {

const char* const kChanging = "changesData";

bool marked(const QObject* o) {
    return o->property(kChanging).toBool();
}

// Watches every window shown: its marked controls are disabled, and kept so when the window
// enables them again (a button enabled as rows appear).
class Enforcer : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange && marked(watched)) {
            auto* w = qobject_cast<QWidget*>(watched);
            if (w && w->isEnabled())
                w->setEnabled(false);
        } else if (event->type() == QEvent::Show) {
            auto* w = qobject_cast<QWidget*>(watched);
            if (w && (w->isWindow() || qobject_cast<QMdiSubWindow*>(w->parentWidget())))
                disableMarked(w);
        }
        return false;
    }

    void disableMarked(QWidget* window) {
        for (QWidget* control : window->findChildren<QWidget*>())
            if (marked(control)) {
                control->setEnabled(false);
                control->installEventFilter(this);
            }
        for (QAction* action : window->findChildren<QAction*>())
            if (marked(action)) {
                action->setEnabled(false);
                QObject::connect(action, &QAction::changed, this, [action] {
                    if (action->isEnabled())
                        action->setEnabled(false);
                });
            }
    }
};

Enforcer* g_enforcer = nullptr;

} // namespace

namespace read_only {

void markChanging(QWidget* control) {
    control->setProperty(kChanging, true);
}

void markChanging(QAction* control) {
    control->setProperty(kChanging, true);
}

void markChanging(QWidget* window, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        QObject* control = window->findChild<QObject*>(QString::fromLatin1(name));
        Q_ASSERT_X(control, "read_only::markChanging", name);
        if (control)
            control->setProperty(kChanging, true);
    }
}

void enforce(bool on) {
    if (!on) {
        delete g_enforcer; // the controls it disabled stay so until their windows close
        g_enforcer = nullptr;
        return;
    }
    if (g_enforcer)
        return;
    g_enforcer = new Enforcer(qApp);
    qApp->installEventFilter(g_enforcer);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            g_enforcer->disableMarked(w); // the windows already open
}

} // namespace read_only
