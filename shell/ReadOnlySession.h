#pragma once
// A clerk who may only read the store: the controls that change data are marked where they are
// made, and while such a session runs every marked control of every window stays disabled, whatever
// its window enables. The store refuses the change too (and the server before it); this only keeps
// the clerk from trying.
#include <initializer_list>

class QAction;
class QWidget;

namespace read_only {
// Marks a control (a button, a menu item) as one that changes data.
void markChanging(QWidget* control);
void markChanging(QAction* control);
// Marks the controls of `window` with these object names; a name not found is a program error.
void markChanging(QWidget* window, std::initializer_list<const char*> names);
// From now on every marked control is disabled as its window is shown; false ends that (tests).
void enforce(bool on = true);
} // namespace read_only
