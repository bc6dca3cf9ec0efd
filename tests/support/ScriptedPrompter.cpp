#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

namespace {
const char* kindName(int k) {
    static const char* names[] = {"inform", "error", "confirm",        "ask",
                                  "save",   "open",  "open-directory", "text"};
    return names[k];
}
} // namespace

ScriptedPrompter::~ScriptedPrompter() {
    verify();
}

void ScriptedPrompter::verify() {
    for (const Step& s : script_)
        ADD_FAILURE() << "scripted " << kindName(int(s.kind))
                      << " prompt never shown: " << s.text.toStdString();
    script_.clear();
}

ScriptedPrompter& ScriptedPrompter::expectInform(const QString& text) {
    script_.push_back({Kind::Inform, {}, text});
    return *this;
}
ScriptedPrompter& ScriptedPrompter::expectError(const QString& textPart) {
    script_.push_back({Kind::Error, {}, textPart});
    return *this;
}
ScriptedPrompter& ScriptedPrompter::expectConfirm(const QString& text, Answer answer) {
    script_.push_back({Kind::Confirm, {}, text, answer});
    return *this;
}
ScriptedPrompter& ScriptedPrompter::expectAsk(const QString& caption, const QString& text, Answer answer) {
    script_.push_back({Kind::Ask, caption, text, answer});
    return *this;
}
ScriptedPrompter& ScriptedPrompter::expectSaveFile(const QString& result, std::function<void()> whenShown) {
    script_.push_back({Kind::Save, {}, result, Answer::Ok, std::move(whenShown)});
    return *this;
}
ScriptedPrompter& ScriptedPrompter::expectOpenFile(const QString& result) {
    script_.push_back({Kind::Open, {}, result});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::expectOpenDirectory(const QString& result) {
    script_.push_back({Kind::OpenDirectory, {}, result});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::expectText(const QString& shown, const QString& result) {
    script_.push_back({Kind::Text, shown, result});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::answerUnscripted(Answer answer, const QString& file) {
    unscripted_ = std::make_pair(answer, file);
    return *this;
}

ScriptedPrompter::Step ScriptedPrompter::take(Kind kind, const QString& shown) {
    if (script_.empty() && unscripted_) {
        Step s{kind, {}, unscripted_->second, unscripted_->first};
        s.improvised = true;
        return s;
    }
    if (script_.empty()) {
        ADD_FAILURE() << "unscripted " << kindName(int(kind)) << " prompt: " << shown.toStdString();
        return {kind, {}, {}, Answer::Closed};
    }
    Step s = script_.front();
    script_.pop_front();
    if (s.kind != kind) {
        ADD_FAILURE() << "expected a " << kindName(int(s.kind)) << " prompt (" << s.text.toStdString()
                      << "), got " << kindName(int(kind)) << ": " << shown.toStdString();
        return {kind, {}, {}, Answer::Closed};
    }
    return s;
}

void ScriptedPrompter::beep() {
    ++beeps_;
    log_ << QStringLiteral("beep");
}

void ScriptedPrompter::inform(const QString& text) {
    log_ << QStringLiteral("inform: ") + text;
    Step s = take(Kind::Inform, text);
    if (s.kind == Kind::Inform && s.answer != Answer::Closed && !s.improvised) {
        EXPECT_EQ(s.text.toStdString(), text.toStdString());
    }
}

void ScriptedPrompter::error(const QString& text) {
    log_ << QStringLiteral("error: ") + text;
    Step s = take(Kind::Error, text);
    if (s.answer != Answer::Closed && !s.improvised) {
        EXPECT_TRUE(text.contains(s.text))
            << "error text \"" << text.toStdString() << "\" lacks \"" << s.text.toStdString() << "\"";
    }
}

Prompter::Answer ScriptedPrompter::confirm(const QString& text) {
    log_ << QStringLiteral("confirm: ") + text;
    Step s = take(Kind::Confirm, text);
    if (s.answer == Answer::Closed || s.improvised)
        return s.answer;
    EXPECT_EQ(s.text.toStdString(), text.toStdString());
    return s.answer;
}

Prompter::Answer ScriptedPrompter::ask(const QString& caption, const QString& text, Icon, Buttons buttons) {
    log_ << QStringLiteral("ask: ") + caption + QStringLiteral(" | ") + text;
    lastAskButtons_ = buttons;
    Step s = take(Kind::Ask, text);
    if (s.answer == Answer::Closed || s.improvised)
        return s.answer;
    EXPECT_EQ(s.caption.toStdString(), caption.toStdString());
    EXPECT_EQ(s.text.toStdString(), text.toStdString());
    return s.answer;
}

QString ScriptedPrompter::saveFileName(const QString&, const QString& directory, const QString& fileName) {
    log_ << QStringLiteral("save: ") + directory + QStringLiteral(" | ") + fileName;
    Step s = take(Kind::Save, fileName);
    if (s.whenShown)
        s.whenShown();
    return s.text;
}

QString ScriptedPrompter::openFileName(const QString&, const QString& directory, const QString&) {
    log_ << QStringLiteral("open: ") + directory;
    Step s = take(Kind::Open, directory);
    return s.text;
}

QString ScriptedPrompter::openDirectory(const QString&, const QString& directory) {
    log_ << QStringLiteral("open-directory: ") + directory;
    Step s = take(Kind::OpenDirectory, directory);
    return s.text;
}

QString ScriptedPrompter::askPassword(const QString& caption, const QString& label) {
    log_ << QStringLiteral("password: ") + caption + QStringLiteral(" | ") + label;
    Step s = take(Kind::Text, QString());
    return s.improvised ? QString() : s.text;
}

QString ScriptedPrompter::askText(const QString& caption, const QString& label, const QString& text) {
    log_ << QStringLiteral("text: ") + caption + QStringLiteral(" | ") + label + QStringLiteral(" | ") + text;
    Step s = take(Kind::Text, text);
    if (s.improvised)
        return {};
    EXPECT_EQ(s.caption.toStdString(), text.toStdString()) << "the text shown at first";
    return s.text;
}
