#pragma once
#include "personnel/PersonnelRules.h"
#include "shell/DatasetModel.h"

#include <optional>
// The personnel subsystem's windows: the register, the card and the two detail dialogs, opened
// the same way from the register and from the card.
#include "core/SharedState.h"
#include "data/DataModule.h"

class WindowHost;
class DbGrid;

namespace personnel {

int showCard(WindowHost& main);
int showTraining(WindowHost& main);
int showCertificate(WindowHost& main);

// "Всего - " and the number of people, in the main window's second status panel.
void writePeopleCount(WindowHost& main);

// The colours of a certificate in every grid that shows one: ended red, ending within 90 days
// orange; none for the others.
std::optional<RowColours> certificateColours(CertificateState state);

// Certificates in a grid: ended ones red, those ending within 90 days orange, with the days left
// or passed as the row's tooltip; today from the program's clock.
void colourCertificates(DbGrid& grid, WindowHost& main);

// A person's detail rows that the register and the card maintain through a dialog: the training
// records and the certificates.
struct DetailRows {
    Table* DataModule::*table;     // the detail table of the person
    quint8 SharedState::*mode;     // the dialog's mode flag: 0 a new row, 1 the current one
    int (*show)(WindowHost& main); // opens the dialog

    static const DetailRows& training();
    static const DetailRows& certificates();
};

// The training and certificate buttons of the register and the card: add a row linked to the
// current person, open the current row, delete it after the data module's question. The card saves
// a new person first, so that no row belongs to nobody.
void addDetail(WindowHost& main, const DetailRows& rows);
void editDetail(WindowHost& main, const DetailRows& rows);
void deleteDetail(WindowHost& main, const DetailRows& rows);

} // namespace personnel

void registerPersonnelWindows();
