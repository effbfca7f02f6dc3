#pragma once

#include "CommandTable.h"

#include <QMdiSubWindow>

class CKorva3Doc;
class CommandTarget;
class QWidget;

// A document window in the main window's MDI area: a logbook window or a QSL window.
// It shows one view of one document.
class CDocumentFrame : public QMdiSubWindow
{
    Q_OBJECT

public:
    CDocumentFrame(CKorva3Doc *document, QWidget *view, CommandTarget *viewTarget);

    CKorva3Doc *document() const { return m_document; }
    CommandTarget *viewTarget() const { return m_viewTarget; }
    virtual CommandTable::WindowKind windowKind() const = 0;

private:
    CKorva3Doc *m_document;
    CommandTarget *m_viewTarget;
};
