#pragma once
// Date boxes. Every box that takes a date types the same way: select all and type, type over,
// with or without the dots, a dot after one digit of the day or month ("5.3.2028"), or paste a
// date in any usual form; F4 or Alt+Down (or the box's arrow) opens a calendar. The box only
// holds text: what is no date is refused where the value is taken, with a message.
#include <QDate>
#include <QLineEdit>

class QCalendarWidget;

// Gives a line box the date typing above: the mask "99.99.9999", the keys, the paste, the
// calendar. A read-only box shows its date without the mask, and nothing when it is empty.
void makeDateTyping(QLineEdit* box);

// A date box that belongs to no field: the dialog reads its date and refuses what is no date.
class DateBox : public QLineEdit {
    Q_OBJECT
public:
    explicit DateBox(const QString& objectName, QWidget* parent = nullptr);

    // The date shown; invalid when the box is empty or holds no date.
    QDate date() const;
    // Shows a date (an invalid one empties the box); no dateEdited follows.
    void setDate(const QDate& date);
    bool isBlank() const;
    // What is wrong with the text, for the user; empty when it is a date or the box is empty.
    QString problem() const;

signals:
    // The user made the box show another date.
    void dateEdited(const QDate& date);
};
