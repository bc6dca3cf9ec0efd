#include "shell/RowKeys.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QKeyEvent>
#include <QMenu>
#include <QPointer>

namespace {

class RowKeys : public QObject {
public:
    RowKeys(QAbstractItemView* grid, const RowButtons& buttons)
        : QObject(grid), grid_(grid), add_(buttons.add), open_(buttons.open), remove_(buttons.remove) {
        for (QAbstractButton* b : buttons.more)
            more_ << b;
        setObjectName(QStringLiteral("RowKeys"));
        grid->installEventFilter(this);
        grid->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(grid, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
            QMenu* menu = makeMenu();
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->popup(grid_->viewport()->mapToGlobal(at));
        });
    }

    QMenu* makeMenu() const {
        auto* menu = new QMenu(grid_);
        menu->setObjectName(QStringLiteral("RowMenu"));
        const auto item = [&](QAbstractButton* b, const QString& key) {
            if (!b)
                return;
            QString text = b->text().isEmpty() ? b->toolTip() : b->text();
            text.remove(u'&');
            QAction* a = menu->addAction(b->icon(), text.trimmed(), b, &QAbstractButton::click);
            a->setEnabled(b->isEnabled());
            if (!key.isEmpty())
                a->setShortcut(QKeySequence(key));
        };
        item(add_, QStringLiteral("Ins"));
        item(open_, QStringLiteral("F2"));
        item(remove_, QStringLiteral("Del"));
        if (!more_.isEmpty())
            menu->addSeparator();
        for (const QPointer<QAbstractButton>& b : more_)
            item(b, {});
        return menu;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != grid_ || event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & ~Qt::KeypadModifier)
            return false;
        QAbstractButton* button = nullptr;
        switch (key->key()) {
        case Qt::Key_Insert:
            button = add_;
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_F2:
            button = open_;
            break;
        case Qt::Key_Delete:
            button = remove_;
            break;
        default:
            return false;
        }
        if (!button)
            return false;
        if (button->isEnabled())
            button->click();
        return true;
    }

private:
    QAbstractItemView* grid_;
    QPointer<QAbstractButton> add_, open_, remove_;
    QList<QPointer<QAbstractButton>> more_;
};

} // namespace

void attachRowKeys(QAbstractItemView* grid, const RowButtons& buttons) {
    new RowKeys(grid, buttons);
}

QMenu* rowMenu(QAbstractItemView* grid) {
    // RowKeys is the only child of that name the grid gets.
    QObject* keys = grid->findChild<QObject*>(QStringLiteral("RowKeys"), Qt::FindDirectChildrenOnly);
    return keys ? static_cast<RowKeys*>(keys)->makeMenu() : nullptr;
}
