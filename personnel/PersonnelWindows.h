#pragma once
#include "personnel/PersonnelRules.h"
#include "shell/DatasetModel.h"

#include <optional>
// The personnel subsystem's windows: the register, the card and the two detail dialogs, opened
// the same way from the register and from the card.
class TftrMain;
class DbGrid;

namespace personnel {

int showCard(TftrMain& main);
int showTraining(TftrMain& main);
int showCertificate(TftrMain& main);

// "Всего - " and the number of people, in the main window's second status panel.
void writePeopleCount(TftrMain& main);

// The colours of a certificate in every grid that shows one: ended red, ending within 90 days
// orange; none for the others.
std::optional<RowColours> certificateColours(CertificateState state);

// Certificates in a grid: ended ones red, those ending within 90 days orange, with the days left
// or passed as the row's tooltip; today from the program's clock.
void colourCertificates(DbGrid& grid, TftrMain& main);

// The training and certificate buttons of the register and the card: add a row linked to the
// current person, open the current row, delete it after the data module's question. The card saves
// a new person first, so that no row belongs to nobody.
void addTraining(TftrMain& main);
void editTraining(TftrMain& main);
void deleteTraining(TftrMain& main);
void addCertificate(TftrMain& main);
void editCertificate(TftrMain& main);
void deleteCertificate(TftrMain& main);

} // namespace personnel

void registerPersonnelWindows();
