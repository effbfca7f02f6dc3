#include "CDocumentFrame.h"

#include "document/CKorva3Doc.h"

CDocumentFrame::CDocumentFrame(CKorva3Doc *document, QWidget *view, CommandTarget *viewTarget)
    : m_document(document)
    , m_viewTarget(viewTarget)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(view);
    setWindowTitle(document->title());
}
