#pragma once
// A dialog's push button, named after its control: a click runs the handler as a user action
// (an engine error shows the standard error box), and Enter in a box never presses it.
#include <QPushButton>
#include <functional>

QPushButton* actionButton(QWidget* parent, const QString& name, const QString& caption,
                          std::function<void()> handler);
