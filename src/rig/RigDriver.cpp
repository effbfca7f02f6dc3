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

void RigDriver::Tune(const TuneRequest &request)
{
    if (!CanTune()) {
        emit tuned(TrxOutcome{});
        return;
    }
    if (!IsOpen()) {
        const QList<TrxMessage> messages = Open();
        if (!messages.isEmpty()) {
            emit tuned(TrxOutcome{std::nullopt, messages});
            return;
        }
    }
    StartTune(request);
}

void RigDriver::StartTune(const TuneRequest &)
{
    emit tuned(TrxOutcome{});
}
