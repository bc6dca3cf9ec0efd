#include "shell/Icons.h"

#include <QApplication>
#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

// The pictures are embedded in a static library: the resource must be referenced for the linker
// to keep it.
static void initIconResources() {
    Q_INIT_RESOURCE(icons);
}

namespace icons {

namespace {

QString fileOf(Picture picture) {
    switch (picture) {
    case Picture::Add:
        return QStringLiteral("add");
    case Picture::New:
        return QStringLiteral("new");
    case Picture::Edit:
        return QStringLiteral("edit");
    case Picture::Delete:
        return QStringLiteral("delete");
    case Picture::Print:
        return QStringLiteral("print");
    case Picture::Export:
        return QStringLiteral("export");
    case Picture::Move:
        return QStringLiteral("move");
    case Picture::Search:
        return QStringLiteral("search");
    case Picture::SearchNext:
        return QStringLiteral("search-next");
    case Picture::People:
        return QStringLiteral("people");
    case Picture::Programmes:
        return QStringLiteral("programmes");
    case Picture::Applications:
        return QStringLiteral("applications");
    case Picture::App:
        return QStringLiteral("app");
    }
    return {};
}

// Drawn once at each size a button or a window frame commonly asks for; the toolkit scales
// from the nearest one for any other size and greys the picture out for a disabled button.
QIcon render(Picture picture) {
    initIconResources();
    QSvgRenderer svg(QStringLiteral(":/icons/%1.svg").arg(fileOf(picture)));
    QIcon icon;
    if (!svg.isValid())
        return icon;
    for (int side : {16, 20, 22, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        svg.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

QIcon icon(Picture picture) {
    static QHash<int, QIcon> cache;
    auto it = cache.find(int(picture));
    if (it == cache.end())
        it = cache.insert(int(picture), render(picture));
    return *it;
}

void installApplicationIcon() {
    QApplication::setWindowIcon(icon(Picture::App));
}

} // namespace icons
