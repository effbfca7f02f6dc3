#include "CClusterFrame.h"

#include "entry/CClusterView.h"

CClusterFrame::CClusterFrame()
    : m_view(new CClusterView(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(m_view);
    setWindowTitle(QStringLiteral("DX Cluster"));
    resize(kWidth, kHeight);
}
