#pragma once
// Runs a user action: an engine error ends it with the standard error box, a declined
// confirmation ends it silently. The program goes on either way.
#include <functional>
#include <QApplication>

class Prompter;

// The prompter the guard reports through; set once by the program (and by each test).
void setErrorPrompter(Prompter* prompter);
Prompter* errorPrompter();
// True when the action ran to its end.
bool runGuarded(const std::function<void()>& action);

// The program's application object: no exception ever reaches Qt's event loop. What an event
// handler or a slot lets escape ends that action alone, shown as the guard shows any error, and
// the program goes on.
class GuardedApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override;
};
