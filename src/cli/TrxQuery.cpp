#include "TrxQuery.h"

#include "platform/ScriptedPrompter.h"
#include "rig/CTrxLink.h"
#include "rig/TrxReadingReceiver.h"

#include <QEventLoop>
#include <QTimer>

namespace TrxQuery {

namespace {

// An upper bound on one query, which itself gives up after about 2 seconds.
constexpr int kQueryLimitMs = 10000;

class ReadingCatcher : public TrxReadingReceiver
{
public:
    void SetTrxReading(const TrxReading &reading) override { m_reading = reading; }
    const std::optional<TrxReading> &reading() const { return m_reading; }

private:
    std::optional<TrxReading> m_reading;
};

// Records the link's message boxes while it runs and puts the earlier prompter back.
class MessageRecorder
{
public:
    MessageRecorder()
        : m_previous(Prompter::current())
    {
        Prompter::install(&m_recorder);
    }
    ~MessageRecorder() { Prompter::install(&m_previous); }
    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

    QStringList texts() const { return m_recorder.texts(); }

private:
    Prompter &m_previous;
    ScriptedPrompter m_recorder;
};

} // namespace

Outcome run(int rig, int port, const QString &devicePath)
{
    MessageRecorder messages;
    ReadingCatcher form;
    {
        CTrxLink link;
        link.SetReceivers([&form] { return QList<TrxReadingReceiver *>{&form}; });
        if (link.OpenLink(rig, port, devicePath)) {
            QEventLoop loop;
            QObject::connect(&link, &CTrxLink::queryEnded, &loop, &QEventLoop::quit);
            QTimer::singleShot(kQueryLimitMs, &loop, &QEventLoop::quit);
            link.OnGetTrxFreq();
            loop.exec();
        }
    }
    return {form.reading(), messages.texts()};
}

} // namespace TrxQuery
