#pragma once

#include "CommandTable.h"

#include <QMdiSubWindow>

class CKorva3Doc;
class CommandTarget;
class QScrollArea;
class QWidget;

// A document window in the main window's MDI area: a logbook window or a QSL window.
// It shows one view of one document. Like a form view the view keeps its own size: a
// window made smaller (Tile, Cascade, the operator) scrolls it instead of squeezing it.
class CDocumentFrame : public QMdiSubWindow
{
    Q_OBJECT

public:
    // `designedSize` is the window's size when the view needs no more.
    CDocumentFrame(CKorva3Doc *document, QWidget *view, CommandTarget *viewTarget, const QSize &designedSize);

    CKorva3Doc *document() const { return m_document; }
    CommandTarget *viewTarget() const { return m_viewTarget; }
    QWidget *viewWidget() const { return m_view; }
    virtual CommandTable::WindowKind windowKind() const = 0;

    // The designed size, grown where the view needs more to show itself whole.
    QSize fittedSize() const;
    // Resizes the window to its fitted size; done once the view has been filled. Until
    // the window is resized otherwise, it grows with its view (lists filled late widen
    // their fields), so a window just opened never shows scroll bars.
    void fitToView();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    CKorva3Doc *m_document;
    QWidget *m_view;
    CommandTarget *m_viewTarget;
    QScrollArea *m_scroller;
    QSize m_designedSize;
    QSize m_fitted;
};
