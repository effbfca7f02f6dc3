#include "HamlibRigDriver.h"

#include "HamlibModels.h"
#include "HamlibReading.h"
#include "HamlibTuning.h"
#include "RigLog.h"
#include "TrxType.h"

#include <hamlib/rig.h>
#include <poll.h>

namespace {

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
    RIG *rig = rig_get_caps(model) ? rig_init(model) : nullptr;
    if (!rig) {
        qCWarning(lcRig) << "Hamlib knows no model" << model;
        return {TrxMessage::portNotFound()};
    }
    if (!Configure(rig, network)) {
        rig_cleanup(rig);
        return {TrxMessage::portNotFound()};
    }
    const int status = rig_open(rig);
    if (status != RIG_OK) {
        qCWarning(lcRig) << "Hamlib cannot open model" << model << "on" << rig->state.rigport.pathname << ':'
                         << hamlibError(status);
        rig_cleanup(rig);
        return {TrxMessage::portNotFound()};
    }
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
    return network || m_settings.hamlibSpeed <= 0
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
    std::optional<TrxOutcome> failed =
        SettingFailed("set the frequency", rig_set_freq(m_rig, RIG_VFO_CURR, static_cast<freq_t>(request.hz)));
    const rmode_t mode = HamlibTuning::modeOf(request.mode, request.hz);
    if (!failed && mode != RIG_MODE_NONE) {
        int status = rig_set_mode(m_rig, RIG_VFO_CURR, mode, RIG_PASSBAND_NOCHANGE);
        // A radio without data modes takes the digital ones in upper sideband.
        if (status != RIG_OK && mode == RIG_MODE_PKTUSB && !isLineFailure(status))
            status = rig_set_mode(m_rig, RIG_VFO_CURR, RIG_MODE_USB, RIG_PASSBAND_NOCHANGE);
        failed = SettingFailed("set the mode", status);
    }
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
    int status = rig_get_freq(m_rig, RIG_VFO_CURR, &hz);
    if (status != RIG_OK)
        return ReadFailed("read the frequency", status);
    rmode_t mode = RIG_MODE_NONE;
    pbwidth_t width = 0;
    status = rig_get_mode(m_rig, RIG_VFO_CURR, &mode, &width);
    if (status != RIG_OK && status != -RIG_ENAVAIL && status != -RIG_ENIMPL)
        return ReadFailed("read the mode", status);
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
