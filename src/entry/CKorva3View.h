#pragma once

#include "platform/CommandTarget.h"

#include <QWidget>

class CKorva3Doc;

// The QSO entry form of a logbook window: the first target on the command route while
// its window is active.
class CKorva3View : public QWidget, public CommandTarget
{
    Q_OBJECT

public:
    explicit CKorva3View(CKorva3Doc *document, QWidget *parent = nullptr);

    CKorva3Doc *GetDocument() const { return m_document; }

    bool handlesCommand(int id) const override;
    void onCommand(int id) override;

private:
    CKorva3Doc *m_document;
};
