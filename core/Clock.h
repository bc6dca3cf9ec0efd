#pragma once
// Where "today" comes from: the system clock in the program, a fixed date in tests.
#include <QDate>

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;
};

class SystemClock : public Clock {
public:
    QDate today() const override { return QDate::currentDate(); }
};

class FixedClock : public Clock {
public:
    explicit FixedClock(QDate date) : date_(date) {}
    QDate today() const override { return date_; }
    void set(QDate date) { date_ = date; }

private:
    QDate date_;
};
