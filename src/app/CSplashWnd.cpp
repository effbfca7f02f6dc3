#include "CSplashWnd.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QTimer>

CSplashWnd *CSplashWnd::s_instance = nullptr;

void CSplashWnd::ShowSplashScreen(QWidget *owner)
{
    if (s_instance)
        return;
    s_instance = new CSplashWnd(owner);
    s_instance->show();
    s_instance->raise();
}

void CSplashWnd::Pause(int ms)
{
    if (ms <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

CSplashWnd::CSplashWnd(QWidget *owner)
    : QWidget(owner, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_picture(picture())
    , m_owner(owner)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setCursor(Qt::ArrowCursor);
    setFixedSize(m_picture.size());
    const QRect area = owner && owner->isVisible() ? owner->frameGeometry()
                       : QGuiApplication::primaryScreen()   ? QGuiApplication::primaryScreen()->availableGeometry()
                                                            : QRect(QPoint(0, 0), size());
    move(area.center() - rect().center());
    QTimer::singleShot(kShowMs, this, [this] {
        close();
        if (m_owner)
            m_owner->update();
    });
}

CSplashWnd::~CSplashWnd()
{
    s_instance = nullptr;
}

void CSplashWnd::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture);
}

// The picture: the program's name on a dark-blue field.
QPixmap CSplashWnd::picture()
{
    QPixmap pixmap(400, 240);
    QPainter painter(&pixmap);
    QLinearGradient field(0, 0, 0, pixmap.height());
    field.setColorAt(0, QColor(0, 0, 175));
    field.setColorAt(1, QColor(0, 0, 60));
    painter.fillRect(pixmap.rect(), field);
    painter.setPen(Qt::white);
    QFont title = painter.font();
    title.setPointSize(36);
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(pixmap.rect().adjusted(0, 0, 0, -40), Qt::AlignCenter, QStringLiteral("Korva3"));
    QFont line = painter.font();
    line.setPointSize(11);
    line.setBold(false);
    painter.setFont(line);
    painter.drawText(pixmap.rect().adjusted(0, 120, 0, 0), Qt::AlignCenter,
                     QStringLiteral("Logbook for the radio amateur"));
    return pixmap;
}
