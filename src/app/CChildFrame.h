#pragma once

#include "CDocumentFrame.h"

class CKorva3View;

// The frame of a logbook window, created 880 x 532 pixels or as large as its form needs.
class CChildFrame : public CDocumentFrame
{
    Q_OBJECT

public:
    static constexpr int kWidth = 880;
    static constexpr int kHeight = 532;

    explicit CChildFrame(CKorva3Doc *document);

    CKorva3View *view() const { return m_view; }
    CommandTable::WindowKind windowKind() const override { return CommandTable::WindowKind::Logbook; }

private:
    CChildFrame(CKorva3Doc *document, CKorva3View *view);

    CKorva3View *m_view;
};
