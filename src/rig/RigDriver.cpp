#include "RigDriver.h"

#include "TrxDecoding.h"

RigDriver::RigDriver(QObject *parent)
    : QObject(parent)
{
}

void RigDriver::Read(const Request &request)
{
    if (!Serves(request.rig)) {
        emit readDone(TrxOutcome{TrxDecoding::decodeReply(request.rig, QByteArray()), {}});
        return;
    }
    if (!IsOpen()) {
        const QList<TrxMessage> messages = Open();
        if (!messages.isEmpty()) {
            emit readDone(TrxOutcome{std::nullopt, messages});
            return;
        }
    }
    StartRead(request);
}
