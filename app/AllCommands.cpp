#include "app/GalleryCommand.h"
#include "app/Registration.h"

// Each subsystem's commands are added here as the subsystem offers them.
void registerAllCommands() {
    registerShellCommands();
    registerServiceCommands();
    registerBackupCommands();
    registerServerCommands();
    registerApplicationCommands();
    registerDocumentCommands();
    registerGalleryCommand();
}
