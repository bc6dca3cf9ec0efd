#pragma once
// Opening the applications windows and dialogs of a generation, and their registration.
#include "applications/Generation.h"

class TftrMain;

namespace applications {
// The opening procedures (ShowNewZajavki2023, ShowInsertSluch2023, ShowMZajavki2023 and their
// counterparts of the earlier generations); each returns the dialog's modal result.
int showNewApplication(TftrMain& main, const Generation& g);
int showAddTrainees(TftrMain& main, const Generation& g);
int showTraineeEditor(TftrMain& main, const Generation& g);
// "План обучения на год", modal; returns its result.
int showPlan(TftrMain& main);
// Writes the count line into the status bar of the generation's applications window, if open.
void writeCountLine(TftrMain& main, const Generation& g);
} // namespace applications

void registerApplicationWindows();
