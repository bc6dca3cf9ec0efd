#pragma once
// The program's wiring. Each subsystem offers its windows and its command-line commands through
// a register… function of its own folder; only the program, at the top, names them all.

// The commands each subsystem offers on the command line.
void registerShellCommands();
void registerServiceCommands();
void registerBackupCommands();
void registerServerCommands();
void registerApplicationCommands();
void registerDocumentCommands();
// Every command of the program.
void registerAllCommands();

// Every window of the program (each subsystem adds its own).
void registerAllWindows();
