#pragma once

#include "CDocumentFrame.h"

class CQslView;

// The frame of a QSL window, created 520 x 500 pixels or as large as its form needs.
class CQslChildFrm : public CDocumentFrame
{
    Q_OBJECT

public:
    static constexpr int kWidth = 520;
    static constexpr int kHeight = 500;

    explicit CQslChildFrm(CKorva3Doc *document);

    CQslView *view() const { return m_view; }
    CommandTable::WindowKind windowKind() const override { return CommandTable::WindowKind::Qsl; }

private:
    CQslChildFrm(CKorva3Doc *document, CQslView *view);

    CQslView *m_view;
};
