#pragma once
// The program's prompter: Qt message boxes, the system beep and file dialogs.
#include "core/Prompter.h"

class QWidget;

class QtPrompter : public Prompter {
public:
    explicit QtPrompter(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    void beep() override;
    void inform(const QString& text) override;
    void error(const QString& text) override;
    Answer confirm(const QString& text) override;
    Answer ask(const QString& caption, const QString& text, Icon icon, Buttons buttons) override;
    QString saveFileName(const QString& caption, const QString& directory, const QString& fileName) override;
    QString openFileName(const QString& caption, const QString& directory, const QString& filter) override;
    QString openDirectory(const QString& caption, const QString& directory) override;
    QString askText(const QString& caption, const QString& label, const QString& text) override;
    QString askPassword(const QString& caption, const QString& label) override;

private:
    QWidget* parent_;
};
