#include "shell/ActionButton.h"

#include "shell/ErrorGuard.h"

QPushButton* actionButton(QWidget* parent, const QString& name, const QString& caption,
                          std::function<void()> handler) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    QObject::connect(b, &QPushButton::clicked, b, [handler = std::move(handler)] { runGuarded(handler); });
    return b;
}
