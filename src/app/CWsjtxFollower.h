#pragma once

#include "net/WsjtxStatus.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

class CKorva3View;
class WsjtxLogging;

// "Follow WSJT-X": while the option is on, the active logbook window's entry form
// follows the Status messages of WSJT-X, JTDX and JS8Call as long as it is the
// follower's to fill: no call typed, or the call this follower put there with nothing
// typed into the form since. What changed since the last message goes in: the dial
// frequency in the form's frequency format with its band, the mode, and the DX call
// with its grid as if typed and left (its entity, station information, worked-before
// list and worked/confirmed lines). A new DX call clears the previous one's fields
// first; a DX call taken away clears the form. The reports stay as they are.
class CWsjtxFollower : public QObject
{
    Q_OBJECT

public:
    using ActiveForm = std::function<CKorva3View *()>;

    CWsjtxFollower(WsjtxLogging *logging, ActiveForm activeForm, QObject *parent = nullptr);

    void OnStatus(const WsjtxStatus &status);

private:
    // Whether the form may take the status: no call typed, or this follower's own.
    bool mayFill(const CKorva3View *form) const;
    void showFrequencyAndMode(CKorva3View *form, const WsjtxStatus &status);
    void showCall(CKorva3View *form, const QString &call, const QString &grid);
    // What is in the form now counts as the follower's, not as typed.
    static void markAsShown(CKorva3View *form);

    WsjtxLogging *m_logging;
    ActiveForm m_activeForm;
    QPointer<CKorva3View> m_form;        // the form the last status went to
    std::optional<WsjtxStatus> m_shown; // what went into it
    QString m_shownCall;                // the call the follower put there
};
