#include "CChildFrame.h"

#include "entry/CKorva3View.h"

CChildFrame::CChildFrame(CKorva3Doc *document)
    : CChildFrame(document, new CKorva3View(document))
{
}

CChildFrame::CChildFrame(CKorva3Doc *document, CKorva3View *view)
    : CDocumentFrame(document, view, view, QSize(kWidth, kHeight))
    , m_view(view)
{
}
