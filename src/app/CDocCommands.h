#pragma once

#include "platform/CommandTarget.h"

#include <memory>

class CConfirmationCommands;
class CDocManager;
class CKorva3Doc;

// The document's place on the command route: the commands a logbook document answers
// whichever of its windows is active.
class CDocCommands : public CommandTarget
{
public:
    CDocCommands(CKorva3Doc *document, CDocManager *manager);
    ~CDocCommands() override;

    bool handlesCommand(int id) const override;
    bool commandEnabled(int id) const override;
    void onCommand(int id) override;

private:
    void openLogbook();

    CKorva3Doc *m_document;
    CDocManager *m_manager;
    std::unique_ptr<CConfirmationCommands> m_confirmations;
};
