#include "TrxQuery.h"

#include "RecordedMessages.h"

#include "rig/CTrxLink.h"
#include "rig/TrxReadingReceiver.h"

#include <QEventLoop>
#include <QTimer>

namespace TrxQuery {

namespace {

// An upper bound on opening the link and one query, which itself gives up after about
// 2 seconds (Hamlib's drivers may try a few times before they give up).
constexpr int kQueryLimitMs = 30000;

class ReadingCatcher : public TrxReadingReceiver
{
public:
    void SetTrxReading(const TrxReading &reading) override { m_reading = reading; }
    const std::optional<TrxReading> &reading() const { return m_reading; }

private:
    std::optional<TrxReading> m_reading;
};

} // namespace

// The query starts once the link is open; a link that does not open has said why.
Outcome run(const TrxConnection &connection)
{
    RecordedMessages messages;
    ReadingCatcher form;
    {
        CTrxLink link;
        link.SetReceivers([&form] { return QList<TrxReadingReceiver *>{&form}; });
        QEventLoop loop;
        bool done = false;
        const auto finish = [&loop, &done] {
            done = true;
            loop.quit();
        };
        QObject::connect(&link, &CTrxLink::linkOpened, &loop, [&link, finish](bool opened) {
            if (opened)
                link.OnGetTrxFreq();
            else
                finish();
        });
        QObject::connect(&link, &CTrxLink::queryEnded, &loop, finish);
        QTimer::singleShot(kQueryLimitMs, &loop, finish);
        link.OpenLink(connection);
        if (!done)
            loop.exec();
    }
    return {form.reading(), messages.texts()};
}

} // namespace TrxQuery
