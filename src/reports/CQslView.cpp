#include "CQslView.h"

CQslView::CQslView(CKorva3Doc *document, QWidget *parent)
    : QWidget(parent)
    , m_document(document)
{
}

bool CQslView::handlesCommand(int id) const
{
    (void)id;
    return false;
}

void CQslView::onCommand(int id)
{
    (void)id;
}
