#include "refbooks/RefbookWidgets.h"

#include "shell/Icons.h"
#include "shell/WindowHost.h"

#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace refbooks {

GridColumn column(const QString& field, const QString& title, int width) {
    GridColumn c;
    c.field = field;
    c.title = title;
    c.width = width;
    return c;
}

QLabel* makePickHint(QWidget* parent) {
    auto* hint =
        new QLabel(QStringLiteral("Для выбора сделайте двойной \"щелчок\" по левой кнопке мыши"), parent);
    hint->setObjectName(QStringLiteral("Panel1"));
    hint->setAlignment(Qt::AlignCenter);
    hint->setMinimumHeight(28);
    hint->setFrameStyle(QFrame::Panel | QFrame::Raised);
    hint->setStyleSheet(
        QStringLiteral("QLabel { background-color: #FFFBF0; color: red; font-weight: bold; }"));
    return hint;
}

QIcon picture(Picture which, QWidget*) {
    switch (which) {
    case Picture::Search:
        return icons::icon(icons::Picture::Search);
    case Picture::SearchNext:
        return icons::icon(icons::Picture::SearchNext);
    case Picture::Print:
        return icons::icon(icons::Picture::Print);
    }
    return {};
}

QToolButton* makePictureButton(const QString& objectName, Picture which, const QString& tooltip,
                               QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setObjectName(objectName);
    b->setIcon(picture(which, b));
    b->setToolButtonStyle(Qt::ToolButtonIconOnly);
    b->setToolTip(tooltip);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

BoxWriter boxWriter(WindowHost& main) {
    return [&main](const QString& instance, const QString& box, const QString& text) {
        if (QWidget* window = main.instance(instance))
            if (auto* line = window->findChild<QLineEdit*>(box)) {
                line->setText(text);
                line->setCursorPosition(0); // a long name shows its beginning
            }
    };
}

} // namespace refbooks
