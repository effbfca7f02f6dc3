#pragma once

#include "rig/TrxReading.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <optional>

class CKorva3View;
class CTrxLink;

// "Follow the radio": while the option is on and a logbook window is active, asks the
// link for a reading every second (the link reads on its own thread; the window does
// not wait) and puts frequency, band and mode into the active form when the radio's
// values changed and the form's call field is empty. The reports stay as they are.
class CRadioFollower : public QObject
{
    Q_OBJECT

public:
    static constexpr int kIntervalMs = 1000;

    using ActiveForm = std::function<CKorva3View *()>;

    CRadioFollower(CTrxLink *link, ActiveForm activeForm, QObject *parent = nullptr);

    // One look at the radio, as the timer takes it every second.
    void Tick();

private:
    void OnPolled(const TrxReading &reading);

    CTrxLink *m_link;
    ActiveForm m_activeForm;
    QTimer m_timer;
    QPointer<CKorva3View> m_form;      // the form the last reading went to
    std::optional<TrxReading> m_shown; // what went into it
};
