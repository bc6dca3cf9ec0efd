#pragma once
// The manual page zajavki(1), in roff, written from the command line's own help: the same
// commands, arguments and options `zajavki --help` lists, so the two never disagree. The build
// writes it with `zajavki --manpage`; the package installs it.
#include <QString>

QString manualPage();
