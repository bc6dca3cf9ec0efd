#pragma once
// A dialog's push button, named after its control: a click runs the handler as a user action
// (an engine error shows the standard error box). Enter presses only the one made the default.
#include <functional>
#include <QPushButton>

QPushButton* actionButton(QWidget* parent, const QString& name, const QString& caption,
                          std::function<void()> handler);

// Makes the button the dialog's default: Enter anywhere in the dialog that does not take Enter
// itself presses it (ОК, Сохранить, Выполнить). Returns the button.
inline QPushButton* makeDefault(QPushButton* button) {
    button->setAutoDefault(true);
    button->setDefault(true);
    return button;
}
