#include "shell/Showcase.h"

#include "shell/ErrorGuard.h"
#include "shell/WindowHost.h"

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QImage>
#include <QMainWindow>
#include <QPainter>

namespace windows {

namespace {
QList<Showcase>& registry() {
    static QList<Showcase> list;
    return list;
}

void settle() {
    // Bound boxes show their values and grids fit their columns on the next turn of the loop.
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}
} // namespace

QString Showcase::name() const {
    return variant.isEmpty() ? objectName : objectName + u'-' + variant;
}

void registerShowcase(const QString& objectName, ShowcaseFactory make, const QString& variant) {
    Showcase entry{objectName, variant, std::move(make)};
    for (Showcase& s : registry()) {
        if (s.name() == entry.name()) {
            s = std::move(entry);
            return;
        }
    }
    registry().append(std::move(entry));
}

const QList<Showcase>& showcases() {
    return registry();
}

const Showcase* findShowcase(const QString& name) {
    for (const Showcase& s : registry())
        if (s.name() == name)
            return &s;
    return nullptr;
}

std::unique_ptr<QWidget> openShowcase(const Showcase& showcase, WindowHost& main) {
    std::unique_ptr<QWidget> window(showcase.make(main));
    if (window->objectName().isEmpty())
        window->setObjectName(showcase.objectName);
    if (qobject_cast<QMainWindow*>(window.get()))
        window->resize(kMainWindowSize);
    else if (!qobject_cast<QDialog*>(window.get()))
        window->resize(kChildWindowSize);
    window->show();
    settle();
    if (auto* activated = dynamic_cast<ActivatedWindow*>(window.get())) {
        runGuarded([activated] { activated->activated(); });
        settle();
    }
    return window;
}

QImage picture(QWidget& window) {
    const QImage content = window.grab().toImage();
    const int bar = 26;
    QImage out(content.width(), content.height() + bar, QImage::Format_ARGB32);
    out.fill(QColor(0x2c, 0x3e, 0x50));
    QPainter p(&out);
    const QIcon icon = window.windowIcon();
    if (!icon.isNull())
        p.drawPixmap(5, 5, icon.pixmap(16, 16));
    p.setPen(Qt::white);
    QFont font = window.font();
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRect(26, 0, out.width() - 30, bar), Qt::AlignVCenter | Qt::AlignLeft,
               QFontMetrics(font).elidedText(window.windowTitle(), Qt::ElideRight, out.width() - 30));
    p.drawImage(0, bar, content);
    return out;
}

} // namespace windows
