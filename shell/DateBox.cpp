#include "shell/DateBox.h"

#include "core/DateText.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QClipboard>
#include <QKeyEvent>
#include <QStyle>
#include <QVBoxLayout>

namespace {

const QString kMask = QStringLiteral("99.99.9999;_");

// The positions of the two dots in "dd.MM.yyyy".
constexpr int kFirstDot = 2;
constexpr int kSecondDot = 5;

bool isSeparatorKey(const QKeyEvent* key) {
    const QString t = key->text();
    return t == QStringLiteral(".") || t == QStringLiteral(",") || t == QStringLiteral("/") ||
           t == QStringLiteral("-") || t == QStringLiteral(" ");
}

class DateTyping : public QObject {
public:
    explicit DateTyping(QLineEdit* box) : QObject(box), box_(box) {
        calendarAction_ = box->addAction(box->style()->standardIcon(QStyle::SP_TitleBarUnshadeButton),
                                         QLineEdit::TrailingPosition);
        calendarAction_->setToolTip(QStringLiteral("Календарь (F4)"));
        connect(calendarAction_, &QAction::triggered, this, &DateTyping::openCalendar);
        // Room for the whole date beside the calendar's arrow, and no more.
        box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("00.00.00000")) + 36);
        applyReadOnly();
        box->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != box_)
            return false;
        if (event->type() == QEvent::ReadOnlyChange) {
            applyReadOnly();
            return false;
        }
        if (event->type() != QEvent::KeyPress || box_->isReadOnly())
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F4 || (key->key() == Qt::Key_Down && key->modifiers() & Qt::AltModifier)) {
            openCalendar();
            return true;
        }
        if (key->matches(QKeySequence::Paste))
            return pasteDate();
        if (isSeparatorKey(key))
            return finishSection();
        return false;
    }

private:
    // The mask only while the box takes typing: a read-only box shows a date or nothing.
    void applyReadOnly() {
        const QString shown = box_->text();
        const bool readOnly = box_->isReadOnly();
        box_->setInputMask(readOnly ? QString() : kMask);
        if (readOnly)
            box_->setText(datetext::isBlank(shown) ? QString() : shown);
        else if (!datetext::isBlank(shown))
            box_->setText(shown);
        calendarAction_->setVisible(!readOnly);
    }

    // Replaces the whole text as the user's own edit, so a bound box takes it as typed.
    void replaceText(const QString& text, int cursor) {
        box_->selectAll();
        box_->insert(text);
        box_->setCursorPosition(cursor);
    }

    // A date pasted in any usual form replaces the box's text; other text is left to the box.
    bool pasteDate() {
        const QDate d = datetext::parse(QApplication::clipboard()->text());
        if (!d.isValid())
            return false;
        replaceText(d.toString(QLatin1String(datetext::kFormat)), box_->text().size());
        return true;
    }

    // A dot typed after one digit of the day or month completes it with a leading zero.
    bool finishSection() {
        const int pos = box_->cursorPosition();
        const QString text = box_->displayText();
        const auto oneDigitBefore = [&](int dot) {
            return pos == dot - 1 && text.at(dot - 2).isDigit() && !text.at(dot - 1).isDigit();
        };
        for (int dot : {kFirstDot, kSecondDot}) {
            if (oneDigitBefore(dot)) {
                QString digits = text;
                digits[dot - 1] = digits.at(dot - 2);
                digits[dot - 2] = u'0';
                replaceText(digits, dot + 1);
                return true;
            }
            if (pos == dot) { // right before the dot: step over it
                box_->setCursorPosition(dot + 1);
                return true;
            }
        }
        return pos < kFirstDot || pos > kSecondDot; // nothing to complete: the key does nothing
    }

    void openCalendar() {
        if (box_->isReadOnly())
            return;
        auto* popup = new QWidget(box_, Qt::Popup);
        popup->setAttribute(Qt::WA_DeleteOnClose);
        auto* calendar = new QCalendarWidget(popup);
        calendar->setObjectName(QStringLiteral("DateCalendar"));
        calendar->setGridVisible(true);
        const QDate shown = datetext::parse(box_->text());
        if (shown.isValid())
            calendar->setSelectedDate(shown);
        auto* layout = new QVBoxLayout(popup);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(calendar);
        connect(calendar, &QCalendarWidget::activated, popup, [this, popup](const QDate& d) {
            replaceText(d.toString(QLatin1String(datetext::kFormat)), 0);
            popup->close();
        });
        connect(calendar, &QCalendarWidget::clicked, popup, [this, popup](const QDate& d) {
            replaceText(d.toString(QLatin1String(datetext::kFormat)), 0);
            popup->close();
        });
        popup->adjustSize();
        popup->move(box_->mapToGlobal(QPoint(0, box_->height())));
        popup->show();
        calendar->setFocus();
    }

    QLineEdit* box_;
    QAction* calendarAction_;
};

} // namespace

void makeDateTyping(QLineEdit* box) {
    new DateTyping(box);
}

DateBox::DateBox(const QString& objectName, QWidget* parent) : QLineEdit(parent) {
    setObjectName(objectName);
    makeDateTyping(this);
    connect(this, &QLineEdit::textEdited, this, [this] {
        const QDate d = date();
        if (d.isValid())
            emit dateEdited(d);
    });
}

QDate DateBox::date() const {
    return datetext::parse(text());
}

void DateBox::setDate(const QDate& date) {
    setText(date.isValid() ? date.toString(QLatin1String(datetext::kFormat)) : QString());
    setCursorPosition(0);
}

bool DateBox::isBlank() const {
    return datetext::isBlank(text());
}

QString DateBox::problem() const {
    return datetext::problem(text());
}
