#include "shell/AboutDialog.h"

#include "core/CommandLine.h"
#include "data/AppContext.h"
#include "data/Store.h"
#include "shell/Icons.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <sqlite3.h>

namespace {

QLabel* text(const QString& value, QWidget* parent, const char* name = nullptr) {
    auto* label = new QLabel(value, parent);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (name)
        label->setObjectName(QString::fromLatin1(name));
    return label;
}

QString whereTheDataAre(const AppContext& app) {
    if (!app.store)
        return QStringLiteral("не открыта");
    QString where =
        app.store->isServer()
            ? QStringLiteral("%1 (сервер PostgreSQL)").arg(app.store->displayPath())
            : QStringLiteral("%1 (файл SQLite)").arg(QDir::toNativeSeparators(app.root.storeFile()));
    if (!app.store->canWrite())
        where += QStringLiteral(", только просмотр");
    return where;
}

} // namespace

AboutDialog::AboutDialog(AppContext& app, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ftrAbout"));
    setWindowTitle(QStringLiteral("О программе"));

    auto* picture = new QLabel(this);
    picture->setPixmap(icons::icon(icons::Picture::App).pixmap(64, 64));
    picture->setAlignment(Qt::AlignTop);
    auto* title = new QLabel(QStringLiteral("<b style='font-size:14pt'>Заявки на обучение</b><br>"
                                            "Заявки на обучение персонала медицинской организации"),
                             this);
    auto* head = new QHBoxLayout;
    head->addWidget(picture);
    head->addWidget(title, 1);

    auto* facts = new QFormLayout;
    facts->addRow(QStringLiteral("Версия:"),
                  text(QStringLiteral("%1 от %2")
                           .arg(versionNumber(), releaseDate().toString(QStringLiteral("dd.MM.yyyy"))),
                       this, "AboutVersion"));
    facts->addRow(QStringLiteral("Папка программы:"),
                  text(QDir::toNativeSeparators(app.root.root()), this, "AboutFolder"));
    facts->addRow(QStringLiteral("База данных:"), text(whereTheDataAre(app), this, "AboutStore"));
    facts->addRow(QStringLiteral("Версия базы данных:"),
                  text(QString::number(Store::kSchemaVersion), this, "AboutSchema"));
    facts->addRow(QStringLiteral("Лицензия:"),
                  text(QStringLiteral("Программа передана медицинской организации для её внутреннего "
                                      "использования; копирование и распространение вне организации — "
                                      "только с письменного согласия правообладателя."),
                       this, "AboutLicence"));
    facts->addRow(QStringLiteral("Библиотеки:"),
                  text(QStringLiteral("Qt %1, SQLite %2, libpq, libzip, pugixml")
                           .arg(QString::fromLatin1(qVersion()), QString::fromLatin1(sqlite3_libversion())),
                       this));
    auto* copyright = text(QStringLiteral("© 2026 Разработчики программы «Заявки на обучение»"), this);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Закрыть"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addSpacing(8);
    layout->addLayout(facts);
    layout->addWidget(copyright);
    layout->addWidget(buttons);
    setMinimumWidth(560);
}
