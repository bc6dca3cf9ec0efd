#pragma once
// What a new programme catalogue changes, shown before anything is written: the counts, a list of
// new, changed and vanished programmes to look through, and, first of all, the vanished programmes
// that trainees of this or next year's applications still refer to. "Загрузить" accepts.
#include "refbooks/CatalogueLoad.h"

#include <QDialog>

class CatalogueSummaryDialog : public QDialog {
    Q_OBJECT
public:
    CatalogueSummaryDialog(const refbooks::CatalogueComparison& comparison, QWidget* parent = nullptr);
};
