#include "CQslChildFrm.h"

#include "reports/CQslView.h"

CQslChildFrm::CQslChildFrm(CKorva3Doc *document)
    : CQslChildFrm(document, new CQslView(document))
{
}

CQslChildFrm::CQslChildFrm(CKorva3Doc *document, CQslView *view)
    : CDocumentFrame(document, view, view, QSize(kWidth, kHeight))
    , m_view(view)
{
}
