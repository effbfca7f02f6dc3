#pragma once

#include <QMdiSubWindow>

class CClusterView;

// The DX Cluster window in the main window's MDI area: one at most, closed with its
// connection.
class CClusterFrame : public QMdiSubWindow
{
    Q_OBJECT

public:
    static constexpr int kWidth = 860;
    static constexpr int kHeight = 520;

    CClusterFrame();

    CClusterView *view() const { return m_view; }

private:
    CClusterView *m_view;
};
