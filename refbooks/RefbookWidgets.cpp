#include "refbooks/RefbookWidgets.h"

#include "shell/MainWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
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

namespace {
// No standard picture of a printer exists in every style, so one is drawn: the paper, the
// printer's body and the printed sheet coming out.
QIcon printerPicture() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(4, 1, 8, 5);
    p.setBrush(QColor(0xC0, 0xC0, 0xC0));
    p.drawRect(1, 6, 14, 6);
    p.setBrush(Qt::white);
    p.drawRect(4, 10, 8, 5);
    p.setPen(QColor(0x00, 0x80, 0x00));
    p.drawPoint(13, 8);
    return QIcon(pixmap);
}
} // namespace

QIcon picture(Picture which, QWidget* widget) {
    QStyle* style = widget->style();
    switch (which) {
    case Picture::Search:
        return style->standardIcon(QStyle::SP_FileDialogContentsView, nullptr, widget);
    case Picture::SearchNext:
        return style->standardIcon(QStyle::SP_MediaSeekForward, nullptr, widget);
    case Picture::Print:
        return printerPicture();
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

BoxWriter boxWriter(TftrMain& main) {
    return [&main](const QString& instance, const QString& box, const QString& text) {
        if (QWidget* window = main.instance(instance))
            if (auto* line = window->findChild<QLineEdit*>(box))
                line->setText(text);
    };
}

} // namespace refbooks
