#include "spreadsheet/Templates.h"

#include "core/SafeFile.h"

#include "spreadsheet/DocumentError.h"
#include "spreadsheet/XmlPart.h"
#include "spreadsheet/ZipPackage.h"

#include <cstring>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

// The templates are embedded in the core library, a static one: the resource must be referenced
// for the linker to keep it.
static void initTemplateResources() {
    Q_INIT_RESOURCE(document_templates);
}

namespace {

const QString kResourceFolder = QStringLiteral(":/templates");
// LibreOffice takes a few seconds, more on its first start with a new profile.
constexpr int kConversionTimeoutMs = 120000;

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// The entry of `folder` with this name, whatever the case of its letters; empty when none. Any
// kind of entry counts, so that a pipe or a device under a template's name is refused with a
// message when it is read instead of being taken for a missing template (or replaced by one).
QString findFile(const QDir& folder, const QString& fileName) {
    const QString exact = folder.filePath(fileName);
    if (const QFileInfo info(exact); info.exists() || info.isSymLink())
        return exact;
    const QStringList entries =
        folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries)
        if (entry.compare(fileName, Qt::CaseInsensitive) == 0)
            return folder.filePath(entry);
    return {};
}

// Converts the old template `old` into `wanted` with LibreOffice. The conversion writes into a
// folder of its own beside the templates, and the result is moved into place only when complete.
void convert(const QString& old, const QString& wanted, const QString& officeProgram) {
    const QString failed =
        QStringLiteral("Не удалось преобразовать старый шаблон «%1» в шаблон «%2» программой LibreOffice. "
                       "Сохраните его в Excel как «Шаблон Excel (*.xltx)» под именем «%3».")
            .arg(shown(old), shown(wanted), QFileInfo(wanted).fileName());
    QTemporaryDir work(QFileInfo(wanted).absolutePath() + QStringLiteral("/.convert-XXXXXX"));
    // A profile of its own, so that a LibreOffice the user has open is not disturbed.
    QTemporaryDir profile;
    if (!work.isValid() || !profile.isValid())
        throw DocumentError(failed);
    QProcess process;
    process.setProgram(officeProgram);
    process.setArguments(
        {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile.path()).toString(),
         QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("xltx"),
         QStringLiteral("--outdir"), work.path(), old});
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start();
    const bool finished = process.waitForStarted() && process.waitForFinished(kConversionTimeoutMs);
    if (!finished && process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
    }
    const QString produced =
        QDir(work.path()).filePath(QFileInfo(old).completeBaseName() + QStringLiteral(".xltx"));
    if (!finished || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 ||
        !QFileInfo(produced).isFile())
        throw DocumentError(failed);
    // Another program may have made the template meanwhile: then that one is used.
    if (!moveIntoPlace(produced, wanted, IfTaken::Keep).isEmpty() && !QFileInfo(wanted).isFile())
        throw DocumentError(failed);
}

// The maker a default template's package names: the program itself. A spreadsheet program that
// saves the template puts its own name there.
const char* const kDefaultTemplateMaker = "zajavki";
constexpr qint64 kDefaultTemplateSizeLimit = 1024 * 1024;

// A default template that an earlier version of the program installed and nobody has changed
// since: it names the program as its maker and differs from the current default. It is brought
// up to date; any other template is the user's.
bool isEarlierDefault(const QString& path, const QByteArray& current) {
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > kDefaultTemplateSizeLimit)
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.read(kDefaultTemplateSizeLimit);
    if (bytes == current)
        return false;
    try {
        const ZipPackage package(bytes);
        const char* const properties = "docProps/app.xml";
        if (package.declaredUnpackedSize() > quint64(kDefaultTemplateSizeLimit) || !package.has(properties))
            return false;
        XmlPart app;
        return app.parse(package.read(properties)) && isNamed(app.root(), "Properties") &&
               std::strcmp(childNamed(app.root(), "Application").text().get(), kDefaultTemplateMaker) == 0;
    } catch (const ZipPackage::Damaged&) {
        return false;
    }
}

} // namespace

QString findOfficeProgram() {
    for (const QString& name : {QStringLiteral("soffice"), QStringLiteral("libreoffice")}) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

QString ensureTemplate(const QString& templatesDir, const QString& name, const QString& officeProgram) {
    const QDir folder(templatesDir);
    const QString wanted = folder.filePath(name + QStringLiteral(".xltx"));
    for (const QString& extension : {QStringLiteral(".xltx"), QStringLiteral(".xlsx")}) {
        const QString found = findFile(folder, name + extension);
        if (!found.isEmpty())
            return found;
    }
    const QString old = findFile(folder, name + QStringLiteral(".xlt"));
    if (old.isEmpty())
        throw DocumentError(
            QStringLiteral("Не найден шаблон «%1». Положите его в папку шаблонов.").arg(shown(wanted)));
    if (officeProgram.isEmpty())
        throw DocumentError(
            QStringLiteral("Шаблон «%1» сохранён в старом формате Excel, а LibreOffice, которым его можно "
                           "преобразовать, не установлен. Нужен шаблон «%2»: сохраните «%3» в Excel как "
                           "«Шаблон Excel (*.xltx)» или установите LibreOffice.")
                .arg(shown(old), shown(wanted), QFileInfo(old).fileName()));
    convert(old, wanted, officeProgram);
    return wanted;
}

QStringList defaultTemplateNames() {
    initTemplateResources();
    return QDir(kResourceFolder).entryList(QDir::Files, QDir::Name);
}

QByteArray defaultTemplate(const QString& fileName) {
    initTemplateResources();
    QFile file(kResourceFolder + QLatin1Char('/') + fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList installDefaultTemplates(const QString& templatesDir, const QString& onlyName) {
    if (!QDir().mkpath(templatesDir))
        throw DocumentError(
            QStringLiteral("Не удалось создать папку шаблонов «%1».").arg(shown(templatesDir)));
    const QDir folder(templatesDir);
    QStringList written;
    for (const QString& fileName : defaultTemplateNames()) {
        const QString stem = QFileInfo(fileName).completeBaseName();
        if (!onlyName.isEmpty() && stem.compare(onlyName, Qt::CaseInsensitive) != 0)
            continue;
        const QByteArray bytes = defaultTemplate(fileName);
        QString target = findFile(folder, fileName);
        if (target.isEmpty()) {
            bool present = false;
            for (const QString& extension : {QStringLiteral(".xlsx"), QStringLiteral(".xlt")})
                present = present || !findFile(folder, stem + extension).isEmpty();
            if (present)
                continue;
            target = folder.filePath(fileName);
        } else if (!isEarlierDefault(target, bytes)) {
            continue;
        }
        // Written completely or not at all: a template cut short by a full disk would stand in the
        // way of every later print.
        writeDocumentFile(target, bytes);
        written.append(target);
    }
    return written;
}

QList<TemplateState> templateStates(const QString& templatesDir) {
    const QDir folder(templatesDir);
    QList<TemplateState> states;
    for (const QString& fileName : defaultTemplateNames()) {
        TemplateState state{fileName, {}, false};
        const QString stem = QFileInfo(fileName).completeBaseName();
        for (const QString& extension :
             {QStringLiteral(".xltx"), QStringLiteral(".xlsx"), QStringLiteral(".xlt")}) {
            const QString found = findFile(folder, stem + extension);
            if (found.isEmpty())
                continue;
            QFile file(found);
            const bool same = extension == QLatin1String(".xltx") && QFileInfo(found).isFile() &&
                              file.open(QIODevice::ReadOnly) &&
                              file.read(kDefaultTemplateSizeLimit + 1) == defaultTemplate(fileName);
            if (same)
                state.present = true;
            else
                state.replaced << found;
        }
        states << state;
    }
    return states;
}

QStringList resetTemplates(const QString& templatesDir, const QString& asideDir) {
    QStringList movedAside;
    for (const TemplateState& state : templateStates(templatesDir)) {
        if (state.replaced.isEmpty())
            continue;
        if (!QDir().mkpath(asideDir))
            throw DocumentError(QStringLiteral("Не удалось создать папку «%1».").arg(shown(asideDir)));
        for (const QString& file : state.replaced) {
            const QString aside = QDir(asideDir).filePath(QFileInfo(file).fileName());
            if (QFileInfo::exists(aside) || !QFile::rename(file, aside)) {
                QDir().rmdir(asideDir); // only when nothing was moved into it
                throw DocumentError(QStringLiteral("Не удалось перенести шаблон «%1» в папку «%2».")
                                        .arg(shown(file), shown(asideDir)));
            }
            movedAside << aside;
        }
    }
    installDefaultTemplates(templatesDir);
    return movedAside;
}
