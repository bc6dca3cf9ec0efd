#pragma once
// Every message box, the question beep and every file dialog go through a Prompter, so that
// the rules that ask the user run headless and tests can script the answers.
#include <QString>

class Prompter {
public:
    enum class Answer { Yes, No, Ok, Cancel, Closed };
    enum class Icon { None, Information, Question, Warning, Error };
    enum class Buttons { Ok, YesNo, OkCancel };

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
    virtual QString saveFileName(const QString& caption, const QString& directory, const QString& fileName) = 0;
    virtual QString openFileName(const QString& caption, const QString& directory, const QString& filter) = 0;

    // The question beep followed by a warning box with Yes and No: true only for Yes.
    bool confirmWithBeep(const QString& text) {
        beep();
        return confirm(text) == Answer::Yes;
    }
};
