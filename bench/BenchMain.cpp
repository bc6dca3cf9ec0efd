// zajavki-bench [FILTER]: runs every comparison (or those whose name contains FILTER).
#include "BenchRunner.h"
#include "BenchServer.h"

#include <cstdio>
#include <QApplication>

int main(int argc, char** argv) {
    // Grids are measured too; they need no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::string filter = argc > 1 ? argv[1] : "";
    if (bench::runAll(filter) == 0)
        std::fprintf(stderr, "no benchmark matches \"%s\"\n", filter.c_str());
    bench::stopServer();
    return 0;
}
