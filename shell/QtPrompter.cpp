#include "shell/QtPrompter.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

namespace {

QString title() {
    return QCoreApplication::applicationName();
}

Prompter::Answer answerOf(QMessageBox::StandardButton b) {
    switch (b) {
    case QMessageBox::Yes:
        return Prompter::Answer::Yes;
    case QMessageBox::No:
        return Prompter::Answer::No;
    case QMessageBox::Ok:
        return Prompter::Answer::Ok;
    case QMessageBox::Cancel:
        return Prompter::Answer::Cancel;
    default:
        return Prompter::Answer::Closed;
    }
}

} // namespace

void QtPrompter::beep() {
    QApplication::beep();
}

void QtPrompter::inform(const QString& text) {
    QMessageBox box(QMessageBox::Information, title(), text, QMessageBox::Ok, parent_);
    box.exec();
}

void QtPrompter::error(const QString& text) {
    QMessageBox box(QMessageBox::Critical, title(), text, QMessageBox::Ok, parent_);
    box.exec();
}

Prompter::Answer QtPrompter::confirm(const QString& text) {
    QMessageBox box(QMessageBox::Warning, title(), text, QMessageBox::Yes | QMessageBox::No, parent_);
    box.setEscapeButton(QMessageBox::No);
    return answerOf(QMessageBox::StandardButton(box.exec()));
}

Prompter::Answer QtPrompter::ask(const QString& caption, const QString& text, Icon icon, Buttons buttons) {
    QMessageBox::Icon i = icon == Icon::Question      ? QMessageBox::Question
                          : icon == Icon::Warning     ? QMessageBox::Warning
                          : icon == Icon::Error       ? QMessageBox::Critical
                          : icon == Icon::Information ? QMessageBox::Information
                                                      : QMessageBox::NoIcon;
    const bool yesNo = buttons == Buttons::YesNo || buttons == Buttons::YesNoDefaultNo;
    QMessageBox::StandardButtons b = yesNo                          ? QMessageBox::Yes | QMessageBox::No
                                     : buttons == Buttons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel
                                     : buttons == Buttons::YesNoCancel
                                         ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel
                                         : QMessageBox::Ok;
    QMessageBox box(i, caption, text, b, parent_);
    if (buttons == Buttons::YesNoDefaultNo)
        box.setDefaultButton(QMessageBox::No);
    if (buttons == Buttons::YesNoCancel)
        box.setDefaultButton(QMessageBox::Cancel);
    return answerOf(QMessageBox::StandardButton(box.exec()));
}

QString QtPrompter::saveFileName(const QString& caption, const QString& directory, const QString& fileName) {
    // The caller asks its own question before replacing a file.
    return QFileDialog::getSaveFileName(parent_, caption, QDir(directory).filePath(fileName), QString(),
                                        nullptr, QFileDialog::DontConfirmOverwrite);
}

QString QtPrompter::openFileName(const QString& caption, const QString& directory, const QString& filter) {
    return QFileDialog::getOpenFileName(parent_, caption, directory, filter);
}

QString QtPrompter::openDirectory(const QString& caption, const QString& directory) {
    return QFileDialog::getExistingDirectory(parent_, caption, directory);
}

QString QtPrompter::askPassword(const QString& caption, const QString& label) {
    QInputDialog dialog(parent_);
    dialog.setTextEchoMode(QLineEdit::Password);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(label);
    dialog.setOkButtonText(QStringLiteral("ОК"));
    dialog.setCancelButtonText(QStringLiteral("Отмена"));
    dialog.resize(460, dialog.sizeHint().height());
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

QString QtPrompter::askText(const QString& caption, const QString& label, const QString& text) {
    QInputDialog dialog(parent_);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(label);
    dialog.setTextValue(text);
    dialog.setOkButtonText(QStringLiteral("ОК"));
    dialog.setCancelButtonText(QStringLiteral("Отмена"));
    dialog.resize(460, dialog.sizeHint().height());
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}
