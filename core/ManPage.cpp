#include "core/ManPage.h"

#include "core/CommandLine.h"

#include <QDir>
#include <QStringList>

namespace {

// Text as roff shows it: backslashes written out, a leading dot or quote kept from being read as
// a request, and the dashes of options as minus signs (so that they can be searched and copied).
QString roff(QString text) {
    text.replace(u'\\', QStringLiteral("\\e"));
    text.replace(u'-', QStringLiteral("\\-"));
    if (text.startsWith(u'.') || text.startsWith(u'\''))
        text.prepend(QStringLiteral("\\&"));
    return text;
}

// The help names the user's own home: the page is the same for everyone.
QString withoutHome(QString text) {
    return text.replace(QDir::homePath(), QStringLiteral("~"));
}

QString sentence(const QString& text) {
    return text.isEmpty() ? text : text.left(1).toUpper() + text.mid(1) + u'.';
}

void addOptions(QStringList& page, const QList<CommandOption>& options) {
    for (const CommandOption& o : options)
        page << QStringLiteral(".TP") << QStringLiteral(".B ") + roff(optionUsage(o))
             << roff(sentence(withoutHome(o.description)));
}

} // namespace

QString manualPage() {
    QStringList page{
        QStringLiteral(".TH ZAJAVKI 1 \"\" \"zajavki %1\" \"Команды пользователя\"").arg(versionNumber()),
        QStringLiteral(".SH ИМЯ"),
        QStringLiteral("zajavki \\- заявки на обучение персонала медицинской организации"),
        QStringLiteral(".SH СИНТАКСИС"),
        QStringLiteral(".B zajavki"),
        QStringLiteral("[\\fIКОМАНДА\\fR] [\\fIАРГУМЕНТЫ\\fR] [\\fB\\-\\-root\\fR \\fIПАПКА\\fR] "
                       "[\\fB\\-\\-db\\fR \\fIАДРЕС\\fR]"),
        QStringLiteral(".br"),
        QStringLiteral(".B zajavki \\-\\-help"),
        QStringLiteral("|"),
        QStringLiteral(".B \\-\\-version"),
        QStringLiteral(".SH ОПИСАНИЕ"),
        QStringLiteral(
            "Программа отдела кадров: штатный список сотрудников с сертификатами и аккредитациями, "
            "каталог программ учебного центра, план обучения и ежегодные заявки на обучение, их "
            "печатные формы и выгрузка файлом Paradox для учебного центра."),
        QStringLiteral(".PP"),
        QStringLiteral("Без команды запускает окна программы на папке программы. С командой выполняет её без "
                       "окон. Руководство пользователя открывается в программе: меню «Справка», клавиша F1."),
        QStringLiteral(".SH КОМАНДЫ"),
    };
    for (const QString& name : commandNames()) {
        const CommandInfo info = commandInfo(name);
        QString usage = QStringLiteral("\\fB") + name + QStringLiteral("\\fR");
        if (!info.arguments.isEmpty())
            usage += QStringLiteral(" \\fI") + roff(info.arguments) + QStringLiteral("\\fR");
        page << QStringLiteral(".TP") << usage << roff(sentence(info.summary));
        if (!info.options.isEmpty()) {
            page << QStringLiteral(".RS");
            addOptions(page, info.options);
            page << QStringLiteral(".RE");
        }
    }
    page << QStringLiteral(".SH ОБЩИЕ ПАРАМЕТРЫ");
    addOptions(page, commonOptions());
    page << QStringLiteral(".TP") << QStringLiteral(".BR \\-\\-help \", \" \\-h")
         << QStringLiteral("Справка о командах; \\fBzajavki\\fR \\fIКОМАНДА\\fR \\fB\\-\\-help\\fR — "
                           "аргументы команды.")
         << QStringLiteral(".TP") << QStringLiteral(".B \\-\\-version") << QStringLiteral("Версия программы.")
         << QStringLiteral(".SH ОКРУЖЕНИЕ") << QStringLiteral(".TP") << QStringLiteral(".B TOVEX_ROOT")
         << QStringLiteral("Папка программы, когда не задан \\fB\\-\\-root\\fR.") << QStringLiteral(".TP")
         << QStringLiteral(".B TOVEX_DB")
         << QStringLiteral("Адрес базы данных на сервере PostgreSQL, когда не задан \\fB\\-\\-db\\fR.")
         << QStringLiteral(".SH ФАЙЛЫ") << QStringLiteral(".TP") << QStringLiteral(".I ~/TOVEX\\-Training")
         << QStringLiteral(
                "Папка программы: \\fIBase/\\fR (база данных), \\fITemplates/\\fR (шаблоны "
                "печатных форм), \\fIExport/\\fR (файлы выгрузки), \\fIDocuments/\\fR (заполненные "
                "формы), \\fIBackup/\\fR (резервные копии). Доступна только её владельцу.")
         << QStringLiteral(".TP") << QStringLiteral(".I /usr/share/zajavki/templates")
         << QStringLiteral("Шаблоны печатных форм, которые программа кладёт в новую папку.")
         << QStringLiteral(".SH КОДЫ ВОЗВРАТА")
         << QStringLiteral("0 \\- команда выполнена, 1 \\- не выполнена (причина напечатана одной строкой), "
                           "2 \\- неверная командная строка.");
    return page.join(u'\n') + u'\n';
}
