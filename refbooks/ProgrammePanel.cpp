#include "refbooks/ProgrammePanel.h"

#include "data/DataModule.h"
#include "shell/DbEdit.h"
#include "shell/TitleStrip.h"

#include <QPlainTextEdit>
#include <QSpacerItem>
#include <QVBoxLayout>

ProgrammePanel::ProgrammePanel(DataModule& dm, int contingentHeight, QWidget* parent)
    : QWidget(parent), dm_(dm), contingent_(new QPlainTextEdit(this)), top_(new QSpacerItem(0, 0)) {
    setObjectName(QStringLiteral("Panel3"));
    auto* mainSpecialty =
        new DbEdit(QStringLiteral("DBEdit1"), dm.dtsQNewZICL2021, QStringLiteral("SPECIALY"), this);
    mainSpecialty->setReadOnly(true);
    auto* addSpecialties =
        new DbMemo(QStringLiteral("DBMemo1"), dm.dtsQNewZICL2021, QStringLiteral("ADDSPECIALTY"), this);
    addSpecialties->setReadOnly(true);
    addSpecialties->setFixedHeight(137);
    contingent_->setObjectName(QStringLiteral("Memo1"));
    contingent_->setReadOnly(true);
    if (contingentHeight > 0)
        contingent_->setFixedHeight(contingentHeight);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addSpacerItem(top_);
    column->addWidget(titleStrip(QStringLiteral("Основная специальность"), QStringLiteral("Panel4"), this));
    column->addWidget(mainSpecialty);
    column->addWidget(
        titleStrip(QStringLiteral("Дополнительные специальности"), QStringLiteral("Panel5"), this));
    column->addWidget(addSpecialties);
    column->addWidget(titleStrip(QStringLiteral("Контингент"), QStringLiteral("Panel6"), this));
    column->addWidget(contingent_, contingentHeight > 0 ? 0 : 1);
    if (contingentHeight > 0)
        column->addStretch();
}

void ProgrammePanel::setTopSpace(int height) {
    top_->changeSize(0, height, QSizePolicy::Minimum, QSizePolicy::Fixed);
    layout()->invalidate();
}

void ProgrammePanel::showContingent() {
    const Query& programmes = *dm_.qNewZicl;
    contingent_->setPlainText(programmes.isActive() && !programmes.isEmpty()
                                  ? programmes.field(fld::Contingent).asString()
                                  : QString());
}
