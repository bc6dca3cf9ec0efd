#pragma once
// The spreadsheet templates in the root's Templates folder.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// LibreOffice's program (soffice) when it is installed, else an empty string.
QString findOfficeProgram();

// The template `name` (without extension) in `templatesDir`, as a path: NAME.xltx, else NAME.xlsx
// (the case of the file name does not matter). When only the old binary template NAME.xlt is
// there and LibreOffice is installed (`officeProgram`), it is converted once into NAME.xltx beside
// it. Throws DocumentError naming the .xltx file that is needed otherwise.
QString ensureTemplate(const QString& templatesDir, const QString& name,
                       const QString& officeProgram = findOfficeProgram());

// The templates that come with the program ("Zajavka2023.xltx", …).
QStringList defaultTemplateNames();
// The bytes of one of them (empty for another name).
QByteArray defaultTemplate(const QString& fileName);
// Writes each template that comes with the program into `templatesDir` (made when missing) where
// that folder has no template of that name yet, in any of the forms ensureTemplate accepts: a
// template the user put there is never replaced or hidden. A default template an earlier version
// installed, which no one has changed since, is replaced by the current one. Returns the files
// written. Throws DocumentError naming the folder or file that cannot be written; a file is
// written completely or not at all. With `onlyName` ("Zajavka2023"), only that template.
QStringList installDefaultTemplates(const QString& templatesDir, const QString& onlyName = {});

// How a template of the program stands in the office's Templates folder.
struct TemplateState {
    QString fileName;     // the program's: "Zajavka2023.xltx"
    QStringList replaced; // the office's files that differ from it or stand in for it
                          // (an edited .xltx, an .xlsx or .xlt of its name); empty when none
    bool present = false; // the program's template is there as it comes with the program
};
QList<TemplateState> templateStates(const QString& templatesDir);
// Puts every template of the program in place, as it comes with the program: each file of the
// office that differs from it or stands in for it is moved into `asideDir` first (made when
// missing), never deleted. Returns the files moved aside. Throws DocumentError; a template is
// written completely or not at all.
QStringList resetTemplates(const QString& templatesDir, const QString& asideDir);
