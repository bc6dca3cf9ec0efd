#include "shell/ErrorGuard.h"

#include "core/Prompter.h"
#include "core/SystemText.h"
#include "core/UserError.h"
#include "data/DbError.h"

#include <QString>

namespace {
Prompter* g_prompter = nullptr;
}

void setErrorPrompter(Prompter* prompter) {
    g_prompter = prompter;
}
Prompter* errorPrompter() {
    return g_prompter;
}

bool runGuarded(const std::function<void()>& action) {
    QString message;
    try {
        action();
        return true;
    } catch (const AbortAction&) {
        return false;
    } catch (const PartialSuccess& done) {
        if (g_prompter)
            g_prompter->inform(done.message());
        return true;
    } catch (const std::exception& e) {
        message = exceptionText(e);
    } catch (...) {
        message = QStringLiteral("Внутренняя ошибка программы. Сообщите о ней в службу поддержки.");
    }
    if (g_prompter)
        g_prompter->error(message);
    else
        qWarning("%s", qPrintable(message));
    return false;
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    runGuarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
