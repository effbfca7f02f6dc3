#include "HamlibRigDriver.h"

#include "HamlibModels.h"
#include "HamlibReading.h"
#include "HamlibTuning.h"
#include "LineDeadline.h"
#include "RigLog.h"
#include "TrxType.h"

#include <hamlib/rig.h>
#include <poll.h>

namespace {

// A whole read, frequency and mode, ends within about 2 seconds: Hamlib's own time-outs
// and retries may run longer, and on a line that hung up in the middle of a read its
// read loop never ends at all.
constexpr int kReadLimitMs = 1500;
// What Hamlib waits for one answer of rigctld; opening it asks twice.
constexpr int kRigctldTimeoutMs = 900;

// Hamlib's text of an error code, without its line end.
QByteArray hamlibError(int status)
{
    return QByteArray(rigerror2(status)).trimmed();
}

// The errors that say the line itself failed, not that the radio refused a value.
bool isLineFailure(int status)
{
    return status == -RIG_ETIMEOUT || status == -RIG_EIO || status == -RIG_EPROTO || status == -RIG_BUSERROR
        || status == -RIG_ETRUNC;
}

} // namespace

HamlibRigDriver::HamlibRigDriver(const TrxSettings &settings, QObject *parent)
    : RigDriver(parent)
    , m_settings(settings)
{
}

HamlibRigDriver::~HamlibRigDriver()
{
    Close();
}

bool HamlibRigDriver::Serves(int rig) const
{
    return rig == TrxHamlib;
}

QList<TrxMessage> HamlibRigDriver::Open()
{
    HamlibModels::prepare();
    Close();
    const bool network = !m_settings.rigctldAddress.trimmed().isEmpty();
    const rig_model_t model = network ? RIG_MODEL_NETRIGCTL : m_settings.hamlibModel;
    // Hamlib ends the program when asked for a model it has no table entry for.
    const TrxMessage notFound = network ? TrxMessage::rigctldSilent(m_settings.rigctldAddress.trimmed())
                                        : TrxMessage::portNotFound();
    RIG *rig = rig_get_caps(model) ? rig_init(model) : nullptr;
    if (!rig) {
        qCWarning(lcRig) << "Hamlib knows no model" << model;
        return {notFound};
    }
    if (!Configure(rig, network)) {
        rig_cleanup(rig);
        return {notFound};
    }
    // Opening reads the radio already; a serial line that hangs up meanwhile is let go
    // in time too. (A rigctld that does not answer is bounded by its time-out.)
    int status = RIG_OK;
    bool expired = false;
    {
        const LineDeadline::Line line = network ? LineDeadline::Line()
                                                : LineDeadline::Line::ofPath(rig->state.rigport.pathname);
        LineDeadline deadline(rig->state.rigport.fd, line, kReadLimitMs);
        status = rig_open(rig);
        expired = deadline.expired();
    }
    if (expired) {
        qCWarning(lcRig) << "Hamlib's model" << model << "gave no answer within" << kReadLimitMs << "ms while opening";
        if (status == RIG_OK)
            rig_close(rig);
        rig_cleanup(rig);
        return {TrxMessage::lineLost()};
    }
    if (status != RIG_OK) {
        qCWarning(lcRig) << "Hamlib cannot open model" << model << "on" << rig->state.rigport.pathname << ':'
                         << hamlibError(status);
        rig_cleanup(rig);
        return {notFound};
    }
    // Every read asks the radio: Hamlib would otherwise answer from what it read while
    // opening, or a moment ago.
    rig_set_cache_timeout_ms(rig, HAMLIB_CACHE_ALL, 0);
    m_rig = rig;
    return {};
}

// A model without a port of its own (Hamlib's dummy radio) takes no path.
bool HamlibRigDriver::Configure(RIG *rig, bool network)
{
    if (!network && rig->caps->port_type == RIG_PORT_NONE)
        return true;
    const QString path = network ? m_settings.rigctldAddress.trimmed() : m_settings.hamlibDevicePath();
    if (path.isEmpty()) {
        qCWarning(lcRig) << "no port for Hamlib's model" << m_settings.hamlibModel;
        return false;
    }
    if (!SetConfiguration(rig, "rig_pathname", path))
        return false;
    if (network)
        return SetConfiguration(rig, "timeout", QString::number(kRigctldTimeoutMs));
    return m_settings.hamlibSpeed <= 0
        || SetConfiguration(rig, "serial_speed", QString::number(m_settings.hamlibSpeed));
}

bool HamlibRigDriver::SetConfiguration(RIG *rig, const char *name, const QString &value)
{
    const token_t token = rig_token_lookup(rig, name);
    const int status = token == RIG_CONF_END ? -RIG_EINVAL : rig_set_conf(rig, token, value.toLocal8Bit().constData());
    if (status != RIG_OK)
        qCWarning(lcRig) << "Hamlib refuses" << name << value << ':' << hamlibError(status);
    return status == RIG_OK;
}

void HamlibRigDriver::Close()
{
    if (!m_rig)
        return;
    rig_close(m_rig);
    rig_cleanup(m_rig);
    m_rig = nullptr;
}

void HamlibRigDriver::StartRead(const Request &)
{
    emit readDone(ReadRadio());
}

void HamlibRigDriver::StartTune(const TuneRequest &request)
{
    if (LineHungUp()) {
        emit tuned(ReadRadio()); // says so and lets the line go
        return;
    }
    const rmode_t mode = HamlibTuning::modeOf(request.mode, request.hz);
    int frequencyStatus = RIG_OK;
    int modeStatus = RIG_OK;
    bool expired = false;
    {
        // Setting is bounded as reading is: a line that hangs up meanwhile is let go.
        const int &fd = m_rig->state.rigport.fd;
        LineDeadline deadline(fd, LineDeadline::Line::ofDescriptor(fd), kReadLimitMs);
        frequencyStatus = rig_set_freq(m_rig, RIG_VFO_CURR, static_cast<freq_t>(request.hz));
        if (frequencyStatus == RIG_OK && mode != RIG_MODE_NONE) {
            modeStatus = rig_set_mode(m_rig, RIG_VFO_CURR, mode, RIG_PASSBAND_NOCHANGE);
            // A radio without data modes takes the digital ones in upper sideband.
            if (modeStatus != RIG_OK && mode == RIG_MODE_PKTUSB && !isLineFailure(modeStatus))
                modeStatus = rig_set_mode(m_rig, RIG_VFO_CURR, RIG_MODE_USB, RIG_PASSBAND_NOCHANGE);
        }
        expired = deadline.expired();
    }
    if (expired) {
        qCWarning(lcRig) << "Hamlib's model" << m_settings.hamlibModel << "gave no answer within" << kReadLimitMs
                         << "ms while tuned";
        Close();
        emit tuned(TrxOutcome{std::nullopt, {TrxMessage::lineLost()}});
        return;
    }
    std::optional<TrxOutcome> failed = SettingFailed("set the frequency", frequencyStatus);
    if (!failed)
        failed = SettingFailed("set the mode", modeStatus);
    emit tuned(failed ? *failed : ReadRadio());
}

// A value the radio refuses (a frequency outside its range, a mode it has not) leaves
// the line as it is; the read afterwards shows where the radio stands.
std::optional<TrxOutcome> HamlibRigDriver::SettingFailed(const char *what, int status)
{
    if (status == RIG_OK)
        return std::nullopt;
    if (!isLineFailure(status)) {
        qCWarning(lcRig) << "Hamlib's model" << m_settings.hamlibModel << "refuses to" << what << ':'
                         << hamlibError(status);
        return std::nullopt;
    }
    return ReadFailed(what, status);
}

// A radio that cannot tell its mode still gives its frequency.
TrxOutcome HamlibRigDriver::ReadRadio()
{
    if (LineHungUp()) {
        qCWarning(lcRig) << "the line of Hamlib's model" << m_settings.hamlibModel << "hung up";
        Close();
        return TrxOutcome{std::nullopt, {TrxMessage::lineLost()}};
    }
    freq_t hz = 0;
    rmode_t mode = RIG_MODE_NONE;
    pbwidth_t width = 0;
    int frequencyStatus = RIG_OK;
    int modeStatus = RIG_OK;
    bool expired = false;
    {
        const int &fd = m_rig->state.rigport.fd;
        LineDeadline deadline(fd, LineDeadline::Line::ofDescriptor(fd), kReadLimitMs);
        frequencyStatus = rig_get_freq(m_rig, RIG_VFO_CURR, &hz);
        if (frequencyStatus == RIG_OK)
            modeStatus = rig_get_mode(m_rig, RIG_VFO_CURR, &mode, &width);
        expired = deadline.expired();
    }
    if (expired) {
        qCWarning(lcRig) << "Hamlib's model" << m_settings.hamlibModel << "gave no answer within" << kReadLimitMs
                         << "ms";
        Close();
        return TrxOutcome{std::nullopt, {TrxMessage::lineLost()}};
    }
    if (frequencyStatus != RIG_OK)
        return ReadFailed("read the frequency", frequencyStatus);
    if (modeStatus != RIG_OK && modeStatus != -RIG_ENAVAIL && modeStatus != -RIG_ENIMPL)
        return ReadFailed("read the mode", modeStatus);
    return TrxOutcome{HamlibReading::reading(hz, mode), {}};
}

TrxOutcome HamlibRigDriver::ReadFailed(const char *what, int status)
{
    qCWarning(lcRig) << "Hamlib cannot" << what << ':' << hamlibError(status);
    if (status == -RIG_ETIMEOUT)
        return TrxOutcome{std::nullopt, {TrxMessage::noReply()}};
    Close();
    return TrxOutcome{std::nullopt, {TrxMessage::lineLost()}};
}

// Data waiting (or a network peer's end of stream) is no hang-up: Hamlib reads those.
bool HamlibRigDriver::LineHungUp() const
{
    pollfd line{m_rig->state.rigport.fd, POLLIN, 0};
    return line.fd >= 0 && ::poll(&line, 1, 0) > 0 && (line.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}
