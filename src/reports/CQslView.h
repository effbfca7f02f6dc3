#pragma once

#include "platform/CommandTarget.h"

#include <QWidget>

class CKorva3Doc;

// The QSL card look-up form of a QSL window.
class CQslView : public QWidget, public CommandTarget
{
    Q_OBJECT

public:
    explicit CQslView(CKorva3Doc *document, QWidget *parent = nullptr);

    CKorva3Doc *GetDocument() const { return m_document; }

    bool handlesCommand(int id) const override;
    void onCommand(int id) override;

private:
    CKorva3Doc *m_document;
};
