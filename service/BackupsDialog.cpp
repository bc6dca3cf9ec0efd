#include "service/BackupsDialog.h"

#include "data/AppContext.h"
#include "shell/ErrorGuard.h"
#include "shell/ReadOnlySession.h"
#include "shell/WindowHost.h"

#include <cmath>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
QString whenText(const QDateTime& when) {
    return when.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
}
} // namespace

QString BackupsDialog::sizeText(qint64 bytes) {
    const QLocale russian(QLocale::Russian);
    if (bytes < 1024 * 1024)
        return QStringLiteral("%1 КБ").arg(std::max<qint64>(1, (bytes + 1023) / 1024));
    return QStringLiteral("%1 МБ").arg(
        russian.toString(std::round(double(bytes) / (1024.0 * 1024.0) * 10) / 10, 'f', 1));
}

BackupsDialog::BackupsDialog(WindowHost& main) : QDialog(main.hostWidget()), main_(main) {
    setObjectName(QStringLiteral("ftrBackups"));
    setWindowTitle(QStringLiteral("Резервные копии"));

    folder_ = new QLabel(this);
    folder_->setObjectName(QStringLiteral("FolderLabel"));
    folder_->setWordWrap(true);
    folder_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    list_ = new QTableWidget(0, 3, this);
    list_->setObjectName(QStringLiteral("BackupList"));
    list_->setHorizontalHeaderLabels(
        {QStringLiteral("Когда сделана"), QStringLiteral("Перед каким действием"), QStringLiteral("Размер")});
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->verticalHeader()->hide();
    list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 8);

    auto* buttons = new QHBoxLayout;
    auto button = [this, buttons](const char* name, const QString& caption, const QString& hint) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(hint);
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    QPushButton* backup =
        button("BackupButton", QStringLiteral("Сделать копию"), QStringLiteral("Сделать копию базы сейчас"));
    QPushButton* restore = button("RestoreButton", QStringLiteral("Восстановить"),
                                  QStringLiteral("Заменить базу данных выбранной копией"));
    buttons->addStretch();
    QPushButton* close = button("CloseButton", QStringLiteral("Закрыть"), QString());

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(folder_);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);

    connect(backup, &QPushButton::clicked, this, [this] { runGuarded([this] { makeCopy(); }); });
    connect(restore, &QPushButton::clicked, this, [this] { runGuarded([this] { restoreCopy(); }); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(list_, &QTableWidget::cellDoubleClicked, this, [this] { runGuarded([this] { restoreCopy(); }); });
    fill();
    resize(620, 420);
    read_only::markChanging(this, {"RestoreButton"});
}

void BackupsDialog::fill() {
    Backups backups = main_.app().backups();
    copies_ = backups.list();
    folder_->setText(
        QStringLiteral("Копии базы данных в папке %1: делаются при первом запуске за день и перед "
                       "каждым действием, которое меняет много записей сразу. Хранятся последние %2 и по "
                       "одной за каждый месяц в течение года.")
            .arg(QDir::toNativeSeparators(backups.folder()), QString::number(Backups::kKeepLatest)));
    list_->setRowCount(int(copies_.size()));
    for (int row = 0; row < copies_.size(); ++row) {
        const BackupCopy& c = copies_[row];
        auto* size = new QTableWidgetItem(sizeText(c.size));
        size->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        list_->setItem(row, 0, new QTableWidgetItem(whenText(c.when)));
        list_->setItem(row, 1, new QTableWidgetItem(c.actionText()));
        list_->setItem(row, 2, size);
    }
    list_->resizeColumnsToContents();
    list_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    if (!copies_.isEmpty())
        list_->selectRow(0);
}

void BackupsDialog::makeCopy() {
    const QString copy = main_.app().backups().before(backup_action::kManual);
    fill();
    main_.reportDone(QStringLiteral("Сделана копия базы: ") + QDir::toNativeSeparators(copy));
}

void BackupsDialog::restoreCopy() {
    AppContext& app = main_.app();
    const int row = list_->currentRow();
    if (row < 0 || row >= copies_.size()) {
        app.prompter.inform(QStringLiteral("Выберите в списке копию, которую нужно восстановить."));
        return;
    }
    const BackupCopy copy = copies_[row];
    if (copy.action == backup_action::kDamaged) {
        app.prompter.inform(
            QStringLiteral("Это повреждённая база данных, которую программа убрала из папки Base %1: "
                           "восстановить её нельзя. Она хранится, чтобы специалист мог в неё заглянуть; "
                           "выберите другую копию.")
                .arg(whenText(copy.when)));
        return;
    }
    if (!app.prompter.confirmWithBeep(
            QStringLiteral(
                "Заменить базу данных копией от %1 (сделана перед действием «%2»)? Всё, что изменено после "
                "неё, пропадёт из базы; сама база перед заменой будет сохранена резервной копией.")
                .arg(whenText(copy.when), copy.actionText())))
        return;
    app.backups().restore(copy.path, app.DM.get());
    fill();
    app.prompter.inform(QStringLiteral("База данных восстановлена из копии от %1.").arg(whenText(copy.when)));
}
