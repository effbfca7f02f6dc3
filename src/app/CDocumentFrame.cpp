#include "CDocumentFrame.h"

#include "document/CKorva3Doc.h"

#include <QAction>
#include <QEvent>
#include <QMdiArea>
#include <QMenu>
#include <QScrollArea>

CDocumentFrame::CDocumentFrame(CKorva3Doc *document, QWidget *view, CommandTarget *viewTarget,
                               const QSize &designedSize)
    : m_document(document)
    , m_view(view)
    , m_viewTarget(viewTarget)
    , m_scroller(new QScrollArea(this))
    , m_designedSize(designedSize)
{
    setAttribute(Qt::WA_DeleteOnClose);
    m_scroller->setFrameShape(QFrame::NoFrame);
    m_scroller->setFocusPolicy(Qt::NoFocus);
    m_scroller->setWidgetResizable(true);
    m_scroller->setWidget(view);
    setWidget(m_scroller);
    setWindowTitle(document->title());
    resize(designedSize);
    // The main window's Ctrl+F4 closes the active window; the window menu's own Close
    // keeps the key as a hint only, so that the two do not cancel each other out.
    if (QMenu *menu = systemMenu()) {
        for (QAction *action : menu->actions()) {
            if (action->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_F4)))
                action->setShortcutContext(Qt::WidgetShortcut);
        }
    }
}

QSize CDocumentFrame::fittedSize() const
{
    // The frame's title bar and borders around the view.
    const QSize decoration = size() - m_scroller->size();
    return m_designedSize.expandedTo(m_view->sizeHint() + decoration);
}

void CDocumentFrame::fitToView()
{
    if (m_fitted.isEmpty())
        m_view->installEventFilter(this);
    m_fitted = fittedSize();
    // Never beyond the MDI area (a small screen, a large scale): the view scrolls.
    if (QMdiArea *area = mdiArea())
        m_fitted = m_fitted.boundedTo(area->viewport()->size());
    resize(m_fitted);
}

bool CDocumentFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view && event->type() == QEvent::LayoutRequest) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (size() == m_fitted && !isMaximized() && !isMinimized())
                    fitToView();
                // The scroll area sizes the view only when it is itself resized: a view
                // that needs more than it has is given it, and scrolls.
                m_view->resize(m_view->size().expandedTo(m_view->minimumSizeHint()));
            },
            Qt::QueuedConnection);
    }
    return QMdiSubWindow::eventFilter(watched, event);
}
