#pragma once
// Every message box, the question beep and every file dialog go through a Prompter, so that
// the rules that ask the user run headless and tests can script the answers.
#include <functional>
#include <QString>

class Prompter {
public:
    enum class Answer { Yes, No, Ok, Cancel, Closed };
    enum class Icon { None, Information, Question, Warning, Error };
    // YesNoDefaultNo: a question whose safe answer is No, which Enter gives. YesNoCancel: two
    // choices and a way back, which Enter and Escape give.
    enum class Buttons { Ok, YesNo, YesNoDefaultNo, OkCancel, YesNoCancel };

    virtual ~Prompter() = default;

    // The system's question beep, sounded before every question about deleting or discarding.
    virtual void beep() = 0;
    // A plain information box with one OK button (validation messages and notices).
    virtual void inform(const QString& text) = 0;
    // The standard error box for an error that ends the user's action.
    virtual void error(const QString& text) = 0;
    // A warning box with Yes and No.
    virtual Answer confirm(const QString& text) = 0;
    // A message box with its own caption, icon and buttons.
    virtual Answer ask(const QString& caption, const QString& text, Icon icon, Buttons buttons) = 0;
    // File dialogs; an empty result means the user cancelled.
    virtual QString saveFileName(const QString& caption, const QString& directory,
                                 const QString& fileName) = 0;
    virtual QString openFileName(const QString& caption, const QString& directory, const QString& filter) = 0;
    virtual QString openDirectory(const QString& caption, const QString& directory) = 0;
    // A one-line text box with "ОК" and "Отмена", holding `text` at first; empty when cancelled.
    virtual QString askText(const QString& caption, const QString& label, const QString& text) = 0;
    // The same for a password: what is typed is not shown. Empty when cancelled.
    virtual QString askPassword(const QString& caption, const QString& label) = 0;

    // The question beep followed by a warning box with Yes and No: true only for Yes.
    bool confirmWithBeep(const QString& text) {
        beep();
        return confirm(text) == Answer::Yes;
    }
    // Before anything is deleted: the question beep and a warning whose safe answer, "Нет", is
    // the one Enter gives. True only for "Да".
    bool confirmDeleting(const QString& text) {
        beep();
        return ask(QStringLiteral("Удаление"), text, Icon::Warning, Buttons::YesNoDefaultNo) == Answer::Yes;
    }
};

// A prompter for work without a user: every question gets the same answer, file dialogs are
// cancelled, and messages go to `messages` when given (the command line prints them).
class FixedPrompter : public Prompter {
public:
    explicit FixedPrompter(Answer answer, std::function<void(const QString&)> messages = {})
        : answer_(answer), messages_(std::move(messages)) {}
    void beep() override {}
    void inform(const QString& text) override { say(text); }
    void error(const QString& text) override { say(text); }
    Answer confirm(const QString&) override { return answer_; }
    Answer ask(const QString&, const QString&, Icon, Buttons) override { return answer_; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString openDirectory(const QString&, const QString&) override { return {}; }
    QString askText(const QString&, const QString&, const QString&) override { return {}; }
    QString askPassword(const QString&, const QString&) override { return {}; }

private:
    void say(const QString& text) {
        if (messages_)
            messages_(text);
    }
    Answer answer_;
    std::function<void(const QString&)> messages_;
};
