#include "TrxLinkWorker.h"

#include "HamlibRigDriver.h"
#include "SerialRigDriver.h"
#include "TrxDecoding.h"
#include "TrxType.h"

TrxLinkWorker::TrxLinkWorker() = default;

TrxLinkWorker::~TrxLinkWorker() = default;

void TrxLinkWorker::Open(const TrxConnection &connection)
{
    m_driver = MakeDriver(connection);
    if (!m_driver)
        return;
    connect(m_driver.get(), &RigDriver::readDone, this, &TrxLinkWorker::readDone);
    connect(m_driver.get(), &RigDriver::failed, this, &TrxLinkWorker::failed);
    connect(m_driver.get(), &RigDriver::tuned, this, &TrxLinkWorker::tuned);
    emit opened(m_driver->Open());
}

std::unique_ptr<RigDriver> TrxLinkWorker::MakeDriver(const TrxConnection &connection) const
{
    switch (connection.rig) {
    case TrxFt897:
    case TrxFt1000mp:
        return std::make_unique<SerialRigDriver>(connection.commPort, connection.devicePath,
                                                 m_timerFactory ? m_timerFactory() : nullptr);
    case TrxHamlib:
        return std::make_unique<HamlibRigDriver>(connection.settings);
    default:
        return nullptr;
    }
}

void TrxLinkWorker::Read(const RigDriver::Request &request)
{
    if (m_driver)
        m_driver->Read(request);
    else
        emit readDone(TrxOutcome{TrxDecoding::decodeReply(request.rig, QByteArray()), {}});
}

void TrxLinkWorker::Tune(const RigDriver::TuneRequest &request)
{
    if (m_driver)
        m_driver->Tune(request);
    else
        emit tuned(TrxOutcome{});
}

void TrxLinkWorker::Shutdown()
{
    m_driver.reset();
}
