#include "CQslChildFrm.h"

#include "reports/CQslView.h"

CQslChildFrm::CQslChildFrm(CKorva3Doc *document)
    : CQslChildFrm(document, new CQslView(document))
{
}

CQslChildFrm::CQslChildFrm(CKorva3Doc *document, CQslView *view)
    : CDocumentFrame(document, view, view)
    , m_view(view)
{
    resize(kWidth, kHeight);
}
