#pragma once
// A Prompter for tests: holds the expected prompts with their answers, in order, records what
// was shown, and fails the test on a prompt that was not scripted or a script left unused.
#include "core/Prompter.h"
#include "support/Printers.h"

#include <deque>
#include <functional>
#include <optional>
#include <QStringList>

class ScriptedPrompter : public Prompter {
public:
    ~ScriptedPrompter() override;

    // Scripting, in the order the prompts are expected.
    ScriptedPrompter& expectInform(const QString& text);
    ScriptedPrompter& expectError(const QString& textPart); // the error's text contains textPart
    ScriptedPrompter& expectConfirm(const QString& text, Answer answer);
    ScriptedPrompter& expectAsk(const QString& caption, const QString& text, Answer answer);
    // empty: cancelled. `whenShown` runs while the dialog is shown, before its answer is returned
    // (e.g. to change the world the way a user could meanwhile).
    ScriptedPrompter& expectSaveFile(const QString& result, std::function<void()> whenShown = {});
    ScriptedPrompter& expectOpenFile(const QString& result);
    ScriptedPrompter& expectOpenDirectory(const QString& result); // empty: cancelled
    // The text box shows `shown` at first and gets `result` typed (empty: cancelled).
    ScriptedPrompter& expectText(const QString& shown, const QString& result);
    // Once the script is used up, any further prompt is taken instead of failing the test: a
    // question gets `answer`, a file dialog `file`. For tests that walk many windows and only
    // watch what is shown.
    ScriptedPrompter& answerUnscripted(Answer answer, const QString& file);

    // What was shown, one line each: "beep", "inform: …", "error: …", "confirm: …",
    // "ask: caption | text", "save: directory | name", "open: directory".
    const QStringList& log() const { return log_; }
    int beeps() const { return beeps_; }
    // The buttons of the last ask() box (which answer Enter gives, for instance).
    Buttons lastAskButtons() const { return lastAskButtons_; }
    bool allUsed() const { return script_.empty(); }
    // Fails the test when scripted prompts were not shown, and forgets them.
    void verify();

    void beep() override;
    void inform(const QString& text) override;
    void error(const QString& text) override;
    Answer confirm(const QString& text) override;
    Answer ask(const QString& caption, const QString& text, Icon icon, Buttons buttons) override;
    QString saveFileName(const QString& caption, const QString& directory, const QString& fileName) override;
    QString openFileName(const QString& caption, const QString& directory, const QString& filter) override;
    QString openDirectory(const QString& caption, const QString& directory) override;
    QString askText(const QString& caption, const QString& label, const QString& text) override;
    // Scripted as a text box shown empty: expectText("", password).
    QString askPassword(const QString& caption, const QString& label) override;

private:
    enum class Kind { Inform, Error, Confirm, Ask, Save, Open, OpenDirectory, Text };
    struct Step {
        Kind kind;
        QString caption;
        QString text;
        Answer answer = Answer::Ok;
        std::function<void()> whenShown = nullptr;
        bool improvised = false;
    };
    Step take(Kind kind, const QString& shown);

    std::deque<Step> script_;
    QStringList log_;
    int beeps_ = 0;
    Buttons lastAskButtons_ = Buttons::Ok;
    std::optional<std::pair<Answer, QString>> unscripted_;
};
