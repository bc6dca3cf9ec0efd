#pragma once
// What the commands on one application share: `NUMBER YEAR FILE [--root DIR] [--force]` parsed,
// a FILE inside the root's Base folder refused always and an existing one unless --force, the
// root's database opened with the data module, and the application of the current generation
// made current. Notices go to standard error.
#include "core/CommandLine.h"
#include "data/AppContext.h"

#include <functional>
#include <memory>

class ApplicationCommand {
public:
    // `targetOf` turns the FILE given into the file written (e.g. appends an extension); none:
    // FILE as given.
    ApplicationCommand(const CommandLine& cl, QTextStream& err, const QString& usage,
                       std::function<QString(const QString&)> targetOf = {});

    // 0 when the application is current and the work can start; otherwise the exit status,
    // its one-line message already written.
    int prepare();

    DataModule& dm() const { return *app_->DM; }
    AppContext& app() const { return *app_; }
    const QString& target() const { return target_; }

private:
    const CommandLine& cl_;
    QTextStream& err_;
    QString usage_;
    std::function<QString(const QString&)> targetOf_;
    QString target_;
    SystemClock clock_;
    FixedPrompter prompter_;
    std::unique_ptr<AppContext> app_;
};
