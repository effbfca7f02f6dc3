#pragma once

#include <QPixmap>
#include <QWidget>

// The splash window of start-up: a picture without frame, in front of the other
// windows, centred over its owner (or the screen while the owner is not shown yet),
// gone 2000 ms after it was made. At most one exists in the process.
class CSplashWnd : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kShowMs = 2000;

    // Shows the splash window unless one exists already.
    static void ShowSplashScreen(QWidget *owner);
    // Lets `ms` pass with the window system served, so that the splash window is drawn
    // on the screen meanwhile; the operator's input waits.
    static void Pause(int ms);
    static CSplashWnd *instance() { return s_instance; }

    ~CSplashWnd() override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    explicit CSplashWnd(QWidget *owner);
    static QPixmap picture();

    static CSplashWnd *s_instance;
    QPixmap m_picture;
    QWidget *m_owner;
};
