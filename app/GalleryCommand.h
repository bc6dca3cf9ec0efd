#pragma once
// zajavki gallery DIR [--root DIR]: draws every window and dialog of the showcase
// (shell/Showcase.h) into DIR, one PNG file per window named after it, off screen: the windows
// on a fresh root with the demonstration data, or on a copy of the given root's database.
#include <memory>
#include <QString>

class QCoreApplication;

inline bool isGalleryCommand(const QString& command) {
    return command == QLatin1String("gallery");
}

// The application object the gallery draws with: widgets on the offscreen platform, so nothing
// is shown and no display is needed. Made in place of the plain one other commands run in.
std::unique_ptr<QCoreApplication> makeGalleryApplication(int& argc, char** argv);

void registerGalleryCommand();
