#pragma once
// A fresh root folder whose Templates folder holds the templates that come with the program.
#include "spreadsheet/Templates.h"
#include "core/RootPaths.h"
#include "support/Printers.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

struct TemplateRoot {
    QTemporaryDir dir;
    RootPaths root{dir.path()};
    QString templatePath;

    TemplateRoot() {
        root.makeFolders();
        installDefaultTemplates(root.templates());
        templatePath = ensureTemplate(root.templates(), QStringLiteral("Zajavka2023"), QString());
    }
};
