#include "refbooks/CatalogueSummaryDialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// A list whose long lines wrap instead of running off its right edge.
QListWidget* wrappingList(const QString& name, QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setWordWrap(true);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setResizeMode(QListView::Adjust);
    return list;
}

QListWidget* listOf(const QList<refbooks::CatalogueProgramme>& programmes, const QString& name,
                    QWidget* parent) {
    QListWidget* list = wrappingList(name, parent);
    for (const refbooks::CatalogueProgramme& p : programmes)
        list->addItem(p.describe());
    return list;
}

} // namespace

CatalogueSummaryDialog::CatalogueSummaryDialog(const refbooks::CatalogueComparison& c, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("ftrLoadCatalogue"));
    setWindowTitle(QStringLiteral("Загрузка каталога программ"));

    auto* file = new QLabel(QStringLiteral("Файл: %1\nПрограмм в новом каталоге: %2")
                                .arg(QDir::toNativeSeparators(c.file), QString::number(c.rows)),
                            this);
    file->setObjectName(QStringLiteral("FileLabel"));
    file->setWordWrap(true);
    auto* summary =
        new QLabel(c.changesNothing() ? QStringLiteral("Новый файл совпадает с каталогом программы: "
                                                       "каталог не изменился.")
                                      : QStringLiteral("Загрузка изменит каталог: ") + c.summary() + u'.',
                   this);
    summary->setObjectName(QStringLiteral("SummaryLabel"));
    QFont bold = summary->font();
    bold.setBold(true);
    summary->setFont(bold);
    summary->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(file);
    layout->addWidget(summary);

    if (!c.vanishedInUse.isEmpty()) {
        auto* warning = new QLabel(
            QStringLiteral(
                "Из каталога исчезают программы, которые указаны у слушателей заявок этого и следующего "
                "года. После загрузки выберите этим слушателям другую программу:"),
            this);
        warning->setObjectName(QStringLiteral("InUseLabel"));
        warning->setWordWrap(true);
        warning->setStyleSheet(QStringLiteral("color: #b00000;"));
        QListWidget* inUse = wrappingList(QStringLiteral("InUseList"), this);
        for (const refbooks::ProgrammeInUse& p : c.vanishedInUse)
            for (const QString& application : p.applications)
                inUse->addItem(p.programme.describe() + QStringLiteral(" — ") + application);
        inUse->setMaximumHeight(110);
        layout->addWidget(warning);
        layout->addWidget(inUse);
    }

    auto* tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("PageControl1"));
    tabs->addTab(listOf(c.added, QStringLiteral("AddedList"), tabs),
                 QStringLiteral("Новые (%1)").arg(QString::number(c.added.size())));
    tabs->addTab(listOf(c.changed, QStringLiteral("ChangedList"), tabs),
                 QStringLiteral("Изменённые (%1)").arg(QString::number(c.changed.size())));
    tabs->addTab(listOf(c.vanished, QStringLiteral("VanishedList"), tabs),
                 QStringLiteral("Исчезнувшие (%1)").arg(QString::number(c.vanished.size())));
    layout->addWidget(tabs, 1);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* load = buttons->addButton(QStringLiteral("Загрузить"), QDialogButtonBox::AcceptRole);
    load->setObjectName(QStringLiteral("LoadButton"));
    QPushButton* cancel = buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    cancel->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(720, 480);
}
