#pragma once

#include "TrxConnection.h"
#include "TrxMessage.h"
#include "TrxOutcome.h"
#include "TrxReading.h"
#include "TrxType.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class QThread;
class ReplyTimer;
class ProgramDb;
class TrxLinkWorker;
class TrxReadingReceiver;

// The transceiver link of the main window, without the window: the radio opened at
// start-up from the parameters "rig" and "comm" (and, for Hamlib, the per-user
// settings), the frequency query ("Get TRX freq") that fills every entry form with
// frequency, band, mode position and reports, and the readings of "Follow the radio".
//
// The radio is talked to on a thread of the link's own (TrxLinkWorker); this object
// lives on the window's thread, never waits for the radio, and shows the link's
// messages there: at most one box at a time, and a message that comes while one is
// shown is dropped (logged), so failures cannot pile up boxes.
//
// The main window owns one, forwards its "Get TRX freq" command and update to
// OnGetTrxFreq and OnUpdateGetTrxFreq, and tells it through SetReceivers how to reach
// the entry forms that are open when a reading arrives.
class CTrxLink : public QObject
{
    Q_OBJECT

public:
    using Receivers = std::function<QList<TrxReadingReceiver *>()>;
    // Makes the reply timer of a serial radio; called on the link's thread.
    using TimerFactory = std::function<ReplyTimer *()>;

    explicit CTrxLink(QObject *parent = nullptr);
    ~CTrxLink() override;

    // Start-up: "rig" and "comm" from the program database (a text that is no number
    // counts 0), the Hamlib and Follow settings from the per-user settings; then opens.
    void OpenLink(ProgramDb &db);
    // Rig 0 or below: no link, nothing shown. Rig 1 or 2 ("COM commPort", or
    // `devicePath` when given) and 3 (Hamlib): opened on the link's thread; its messages
    // are shown and linkOpened follows. Rig 4 or more: "Communication port for Tx/Rx not
    // found !\nCheck your setup..." at once, and linkOpened(false).
    void OpenLink(int rig, int commPort, const QString &devicePath = QString());
    void OpenLink(const TrxConnection &connection);

    // "Get TRX freq" is enabled while a transceiver type is set.
    bool OnUpdateGetTrxFreq() const { return m_rig > 0; }
    // Starts a query and returns at once; does nothing while a query is still waiting.
    // A broken or unopened line is opened again first.
    void OnGetTrxFreq();
    bool QueryWaiting() const { return m_queryWaiting; }

    // One reading for "Follow the radio", ending in `polled`; nothing while a read
    // waits. Its messages are not shown, but for a line that broke.
    void Poll();
    bool PollWaiting() const { return m_pollWaiting; }

    // A radio that can be tuned: "Other radio (Hamlib)"; the FT-897 and the FT-1000mp
    // are only read.
    bool CanTune() const { return m_rig == TrxHamlib; }
    // Sets the radio to `hz` and the logbook's mode `mode` (empty: the radio's own) on
    // the link's thread and returns at once; `tuned` follows with what the radio reads
    // afterwards, or the messages that say why not (not shown: the caller says what it
    // needs to). False, and nothing follows, when the radio cannot be tuned.
    bool Tune(qint64 hz, const QString &mode);

    // The setup dialog's values take effect at once; the line stays as opened.
    int Rig() const { return m_rig; }
    void SetRig(int rig) { m_rig = rig; }
    int CommPort() const { return m_commPort; }
    void SetCommPort(int commPort) { m_commPort = commPort; }
    const TrxSettings &Settings() const { return m_settings; }
    void SetSettings(const TrxSettings &settings) { m_settings = settings; }
    bool Follow() const { return m_settings.follow; }

    void SetReceivers(Receivers receivers) { m_receivers = std::move(receivers); }
    // For the radios opened from now on.
    void SetTimerFactory(TimerFactory factory);

signals:
    // After an open, once its messages were shown.
    void linkOpened(bool opened);
    // After a query has filled the forms or shown its message.
    void queryEnded();
    // A reading for "Follow the radio".
    void polled(const TrxReading &reading);
    // A tune ended: the reading of the radio afterwards, or the messages.
    void tuned(const TrxOutcome &outcome);

private:
    void StartRead();
    void OnOpened(const QList<TrxMessage> &messages);
    void OnReadDone(const TrxOutcome &outcome);
    void OnFailed(const TrxMessage &message);
    void Show(const QList<TrxMessage> &messages);

    QThread *m_thread;
    TrxLinkWorker *m_worker;
    bool m_queryWaiting = false; // from the start of a query until its result is handled
    bool m_pollWaiting = false;
    bool m_showing = false;      // a message box of the link is open
    int m_commPort = 0;
    int m_rig = 0;
    TrxSettings m_settings;
    Receivers m_receivers;
};
