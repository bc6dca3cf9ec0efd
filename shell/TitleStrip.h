#pragma once
// A title strip over a part of a window: a raised panel with a centred caption.
#include <QLabel>

inline QLabel* titleStrip(const QString& text, const QString& objectName, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(objectName);
    label->setAlignment(Qt::AlignCenter);
    label->setFrameStyle(QFrame::Panel | QFrame::Raised);
    label->setMinimumHeight(label->sizeHint().height() + 4);
    return label;
}
