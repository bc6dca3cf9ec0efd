#pragma once
// Opening the applications windows and dialogs of a generation, and their registration.
#include "applications/Generation.h"

class WindowHost;

namespace applications {
// The opening procedures (ShowNewZajavki2023, ShowInsertSluch2023, ShowMZajavki2023 and their
// counterparts of the earlier generations, ShowMoving); each returns the dialog's modal result.
// The new application dialog goes on to the adding dialog for the application it made or found.
int showNewApplication(WindowHost& main, const Generation& g);
int showAddTrainees(WindowHost& main, const Generation& g);
int showTraineeEditor(WindowHost& main, const Generation& g);
// "План обучения на год", modal; returns its result.
int showPlan(WindowHost& main);
int showMoving(WindowHost& main, const Generation& g);
// The certificate dialog of a generation that keeps a trainee's certificate in a row of its own.
int showTraineeCertificate(WindowHost& main, const Generation& g);
} // namespace applications

void registerApplicationWindows();
