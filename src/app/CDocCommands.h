#pragma once

#include "platform/CommandTarget.h"

class CDocManager;
class CKorva3Doc;

// The document's place on the command route: the commands a logbook document answers
// whichever of its windows is active.
class CDocCommands : public CommandTarget
{
public:
    CDocCommands(CKorva3Doc *document, CDocManager *manager);

    bool handlesCommand(int id) const override;
    void onCommand(int id) override;

private:
    void openLogbook();

    CKorva3Doc *m_document;
    CDocManager *m_manager;
};
