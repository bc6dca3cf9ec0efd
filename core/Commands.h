#pragma once
// Registration of the commands each subsystem offers on the command line.
void registerShellCommands();
void registerServiceCommands();
void registerBackupCommands();
void registerApplicationCommands();
void registerDocumentCommands();
// Every command of the program.
void registerAllCommands();
