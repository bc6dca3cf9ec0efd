#pragma once
// The year's training plan as a workbook from the template Plan: the title "План обучения на 2027
// год" in A1 and one row per person from row 4, with the programme and quarter chosen for each.
#include "applications/TrainingPlan.h"
#include "documents/ListDocument.h"

class RootPaths;

namespace documents {

// `rows`: the people to print, in their order, each with its programme (-1: none) and quarter.
ListDocument buildPlanDocument(const plan::Plan& plan, const QList<plan::Addition>& rows,
                               const QString& templatesDir);
// Builds it and saves it into the root's Documents folder under a name of its own; returns the path.
QString savePlanDocument(const plan::Plan& plan, const QList<plan::Addition>& rows, const RootPaths& root);

} // namespace documents
