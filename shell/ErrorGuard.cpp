#include "shell/ErrorGuard.h"

#include "data/DbError.h"
#include "core/Prompter.h"

#include <QString>

namespace {
Prompter* g_prompter = nullptr;
}

void setErrorPrompter(Prompter* prompter) { g_prompter = prompter; }
Prompter* errorPrompter() { return g_prompter; }

bool runGuarded(const std::function<void()>& action) {
    QString message;
    try {
        action();
        return true;
    } catch (const AbortAction&) {
        return false;
    } catch (const UserError& e) {
        message = e.message();
    } catch (const std::exception& e) {
        message = QString::fromUtf8(e.what());
    }
    if (g_prompter)
        g_prompter->error(message);
    else
        qWarning("%s", qPrintable(message));
    return false;
}
