#pragma once
// The start-up window `ftrAvtoriz`: a picture and the version, then, after a pause, today's year
// into the shared state and the tables opened one by one with their names in the status panel.
#include <QDialog>
#include <QStringList>

struct AppContext;
class QLabel;
class QTimer;

class StartupWindow : public QDialog {
    Q_OBJECT
public:
    StartupWindow(AppContext& app, int delayMs = 5000, QWidget* parent = nullptr);

    bool isDone() const { return done_; }
    // The progress texts shown so far, in order.
    const QStringList& progressShown() const { return progress_; }

    // The start-up picture, drawn by the program itself.
    static QPixmap picture(const QSize& size);

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void Timer1Timer();
    void runSequence();

    AppContext& app_;
    QLabel* status_;
    QTimer* timer_;
    QStringList progress_;
    bool done_ = false;
    bool running_ = false;
};
