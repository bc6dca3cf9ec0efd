#pragma once
// A fresh root folder whose Templates folder holds the templates that come with the program.
#include "core/RootPaths.h"
#include "spreadsheet/Templates.h"
#include "support/Printers.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

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
