#include "documents/PlanDocument.h"

#include "core/RootPaths.h"
#include "spreadsheet/DocumentFolder.h"

namespace documents {

ListDocument buildPlanDocument(const plan::Plan& plan, const QList<plan::Addition>& rows,
                               const QString& templatesDir) {
    ListRows list;
    list.count = int(rows.size());
    list.value = [&plan, &rows](int row, const ListColumn& column) -> QVariant {
        const plan::Addition& a = rows[row];
        const plan::Entry& e = plan.entries[a.entry];
        const QString& f = column.field;
        if (f == QLatin1String("FullName"))
            return e.fullName();
        if (f == QLatin1String("Position"))
            return e.position;
        if (f == QLatin1String("DiplomaSpecialty"))
            return e.diplomaSpecialty;
        // As the plan's window shows it: "нет сертификата" where the date would be.
        if (f == QLatin1String("CertificateEnd"))
            return e.hasCertificate() ? QVariant(e.certificateEnd)
                                      : QVariant(QStringLiteral("нет сертификата"));
        if (f == QLatin1String("CertificateSpecialty"))
            return e.certificateSpecialty;
        if (f == QLatin1String("DaysLeft"))
            return e.hasCertificate() ? QVariant(e.daysLeft(plan.today)) : QVariant();
        if (f == QLatin1String("Quarter"))
            return a.quarter;
        if (f == QLatin1String("Programme"))
            return a.programme >= 0 && a.programme < plan.programmes.size()
                       ? plan.programmes[a.programme].title()
                       : QString();
        return {};
    };
    return buildListDocument(list, ListDocumentSettings::trainingPlan(), templatesDir,
                             QStringLiteral("План обучения на %1 год").arg(plan.year));
}

QString savePlanDocument(const plan::Plan& plan, const QList<plan::Addition>& rows, const RootPaths& root) {
    const ListDocument document = buildPlanDocument(plan, rows, root.templates());
    return DocumentFolder(root).save(document.book, document.title);
}

} // namespace documents
