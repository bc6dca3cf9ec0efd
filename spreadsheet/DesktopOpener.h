#pragma once
// The program with windows opens saved documents with the desktop's program for .xlsx files.
// Call once at start-up, after the application object exists.
void installDesktopOpener();
