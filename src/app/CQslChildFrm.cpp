#include "CQslChildFrm.h"

#include "document/CKorva3Doc.h"
#include "reports/CQslView.h"

CQslChildFrm::CQslChildFrm(CKorva3Doc *document)
    : CQslChildFrm(document, new CQslView(document))
{
}

CQslChildFrm::CQslChildFrm(CKorva3Doc *document, CQslView *view)
    : CDocumentFrame(document, view, view, QSize(kWidth, kHeight))
    , m_view(view)
{
    // Told apart from the logbook's own window in the Window menu.
    setWindowTitle(QStringLiteral("Qsl - %1").arg(document->title()));
}
