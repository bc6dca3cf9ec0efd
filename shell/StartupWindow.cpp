#include "shell/StartupWindow.h"

#include "core/CommandLine.h"
#include "data/AppContext.h"
#include "shell/StartupTables.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QVBoxLayout>

StartupWindow::StartupWindow(AppContext& app, int delayMs, QWidget* parent)
    : QDialog(parent), app_(app), status_(new QLabel(this)), timer_(new QTimer(this)) {
    setObjectName(QStringLiteral("ftrAvtoriz"));
    setWindowTitle(QStringLiteral("Заявки на переподготовку персонала"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint |
                   Qt::WindowTitleHint);
    setFixedSize(433, 307);

    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setFixedWidth(297);
    image->setPixmap(picture(QSize(297, 307 - 22)));

    auto* version =
        new QLabel(QStringLiteral("Версия %1 (%2)").arg(versionNumber()).arg(releaseDate().year()), this);
    version->setObjectName(QStringLiteral("Label1"));
    version->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    // One line where the font allows, two rather than a cut where it is wider.
    version->setWordWrap(true);
    auto* side = new QWidget(this);
    side->setFixedWidth(136);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(4, 9, 4, 9);
    sideLayout->addStretch();
    sideLayout->addWidget(version);
    sideLayout->addSpacing(12);

    auto* top = new QHBoxLayout;
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(0);
    top->addWidget(image);
    top->addWidget(side);

    status_->setObjectName(QStringLiteral("StatusBar1"));
    status_->setFixedHeight(22);
    status_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    status_->setIndent(4);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(top, 1);
    layout->addWidget(status_);

    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setSingleShot(true);
    timer_->setInterval(delayMs);
    connect(timer_, &QTimer::timeout, this, &StartupWindow::Timer1Timer);
    timer_->start();
}

QPixmap StartupWindow::picture(const QSize& size) {
    QPixmap pm(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(0x1f, 0x5f, 0x8b));
    sky.setColorAt(1, QColor(0xd6, 0xea, 0xf8));
    p.fillRect(pm.rect(), sky);
    // A red cross on a white disc: the medical service.
    const QPointF c(size.width() / 2.0, size.height() * 0.38);
    const qreal r = size.width() * 0.22;
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(c, r, r);
    p.setBrush(QColor(0xc0, 0x1c, 0x28));
    const qreal arm = r * 0.34, len = r * 0.72;
    p.drawRect(QRectF(c.x() - arm / 2, c.y() - len, arm, 2 * len));
    p.drawRect(QRectF(c.x() - len, c.y() - arm / 2, 2 * len, arm));
    // An open book below it: training.
    QPainterPath book;
    const qreal by = size.height() * 0.72, bw = size.width() * 0.3;
    book.moveTo(c.x(), by);
    book.cubicTo(c.x() - bw * 0.4, by - 14, c.x() - bw * 0.8, by - 10, c.x() - bw, by - 4);
    book.lineTo(c.x() - bw, by + 30);
    book.cubicTo(c.x() - bw * 0.8, by + 24, c.x() - bw * 0.4, by + 22, c.x(), by + 34);
    book.cubicTo(c.x() + bw * 0.4, by + 22, c.x() + bw * 0.8, by + 24, c.x() + bw, by + 30);
    book.lineTo(c.x() + bw, by - 4);
    book.cubicTo(c.x() + bw * 0.8, by - 10, c.x() + bw * 0.4, by - 14, c.x(), by);
    p.setBrush(QColor(0xfd, 0xfe, 0xfe));
    p.setPen(QPen(QColor(0x1f, 0x5f, 0x8b), 1.5));
    p.drawPath(book);
    p.drawLine(QPointF(c.x(), by), QPointF(c.x(), by + 34));
    QFont f = p.font();
    f.setBold(true);
    f.setPointSize(13);
    p.setFont(f);
    p.setPen(QColor(0x0b, 0x2e, 0x4a));
    p.drawText(QRectF(0, size.height() - 40, size.width(), 30), Qt::AlignCenter,
               QStringLiteral("Заявки на обучение"));
    return pm;
}

void StartupWindow::Timer1Timer() {
    runSequence();
}

void StartupWindow::runSequence() {
    if (done_ || running_)
        return;
    running_ = true;
    timer_->stop();
    // Today's year is taken once and kept for the whole run.
    app_.state.CurYear = quint16(app_.clock.today().year());
    openStartupTables(
        *app_.DM,
        [this](const StartupTable& t) {
            progress_ << t.progress;
            status_->setText(t.progress);
            status_->repaint(); // visible while the table opens
        },
        [this](const StartupTable& t, const QString&) { app_.prompter.inform(t.error); });
    running_ = false;
    done_ = true;
    accept();
}

// Closed before its time, the window opens the tables at once rather than leaving them closed.
void StartupWindow::closeEvent(QCloseEvent* event) {
    if (!done_) {
        if (running_) {
            event->ignore();
            return;
        }
        runSequence();
    }
    QDialog::closeEvent(event);
}

void StartupWindow::reject() {
    if (!done_) {
        if (running_)
            return;
        runSequence();
        return;
    }
    QDialog::reject();
}
