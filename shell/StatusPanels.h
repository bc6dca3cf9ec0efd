#pragma once
// A window's status bar panels: labels of fixed widths named StatusBar1Panel0, StatusBar1Panel1, …
// in order, the bar itself named StatusBar1 without a size grip.
#include <initializer_list>
#include <QLabel>
#include <QList>
#include <QStatusBar>

struct StatusPanel {
    int width;
    bool raised = false; // sunken otherwise
};

inline QList<QLabel*> makeStatusPanels(QStatusBar* bar, std::initializer_list<StatusPanel> panels) {
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    QList<QLabel*> labels;
    for (const StatusPanel& p : panels) {
        auto* label = new QLabel(bar);
        label->setObjectName(QStringLiteral("StatusBar1Panel") + QString::number(labels.size()));
        label->setFixedWidth(p.width);
        label->setFrameStyle(QFrame::Panel | (p.raised ? QFrame::Raised : QFrame::Sunken));
        bar->addWidget(label);
        labels << label;
    }
    return labels;
}
