#pragma once
// Registration of the commands each subsystem offers on the command line.
void registerShellCommands();
void registerServiceCommands();
void registerApplicationCommands();
// Every command of the program.
void registerAllCommands();
