#include "CDocCommands.h"

#include "CConfirmationCommands.h"
#include "CDocManager.h"
#include "document/CKorva3Doc.h"
#include "document/LogbookFiles.h"
#include "platform/CommandIds.h"

CDocCommands::CDocCommands(CKorva3Doc *document, CDocManager *manager)
    : m_document(document)
    , m_manager(manager)
    , m_confirmations(std::make_unique<CConfirmationCommands>(document))
{
}

CDocCommands::~CDocCommands() = default;

// One exchange with the services at a time; the list of unmatched confirmations always.
bool CDocCommands::commandEnabled(int id) const
{
    if (CConfirmationCommands::handles(id) && id != ID_UNMATCHED_QSLS)
        return !m_confirmations->isRunning();
    return true;
}

bool CDocCommands::handlesCommand(int id) const
{
    switch (id) {
    case ID_FILE_OPEN:
    case ID_FILE_CLOSE:
    case ID_QSO_QSL_CARDS:
    case ID_REBUILD_DXCC:
    case ID_IMPORT_ADIF:
    case ID_EXPORT_ADIF:
        return true;
    default:
        return CConfirmationCommands::handles(id);
    }
}

void CDocCommands::onCommand(int id)
{
    switch (id) {
    case ID_FILE_OPEN:
        openLogbook();
        break;
    case ID_FILE_CLOSE:
        m_manager->CloseDocument(m_document);
        break;
    case ID_QSO_QSL_CARDS:
        m_manager->OpenQslWindow(m_document);
        break;
    case ID_REBUILD_DXCC:
        m_document->OnRebuildDxccStat();
        break;
    case ID_IMPORT_ADIF:
        m_document->OnImportAdif();
        break;
    case ID_EXPORT_ADIF:
        m_document->OnExportAdif();
        break;
    default:
        if (CConfirmationCommands::handles(id))
            m_confirmations->run(id);
        break;
    }
}

void CDocCommands::openLogbook()
{
    const QString path = LogbookFiles::ChooseLogbookFromDocument();
    if (!path.isEmpty())
        m_manager->OpenDocumentFile(path);
}
