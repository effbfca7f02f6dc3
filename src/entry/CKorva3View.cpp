#include "CKorva3View.h"

CKorva3View::CKorva3View(CKorva3Doc *document, QWidget *parent)
    : QWidget(parent)
    , m_document(document)
{
}

bool CKorva3View::handlesCommand(int id) const
{
    (void)id;
    return false;
}

void CKorva3View::onCommand(int id)
{
    (void)id;
}
