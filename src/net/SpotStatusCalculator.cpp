#include "SpotStatusCalculator.h"

#include "SpotModeGuess.h"
#include "document/CKorva3Doc.h"
#include "store/QsoModes.h"

SpotStatusCalculator::SpotStatusCalculator(QObject *parent)
    : QObject(parent)
{
}

SpotStatusCalculator::~SpotStatusCalculator() = default;

void SpotStatusCalculator::setLogbook(CKorva3Doc *logbook)
{
    if (logbook == m_logbook)
        return;
    if (m_logbook)
        disconnect(m_logbook, nullptr, this, nullptr);
    m_logbook = logbook;
    m_calls.clear();
    m_entities.clear();
    if (logbook) {
        // A QSO added concerns its own call alone; a change, a delete or an import may
        // concern any call (the one a QSO had before is not told).
        connect(logbook, &CKorva3Doc::qsoAdded, this, [this](int rowId) {
            const std::optional<Sqlite3DB::UM_RECORD> added = m_logbook->ReadQso(rowId);
            if (added)
                forgetCall(added->call);
            else
                forgetCalls();
            emit statusesChanged();
        });
        for (auto qsoSignal : {&CKorva3Doc::qsoChanged, &CKorva3Doc::qsoDeleted, &CKorva3Doc::qsosImported})
            connect(logbook, qsoSignal, this, [this] {
                forgetCalls();
                emit statusesChanged();
            });
        connect(logbook, &CKorva3Doc::statisticsChanged, this, [this](int entity) {
            forgetEntity(entity);
            emit statusesChanged();
        });
        connect(logbook, &CKorva3Doc::changedOutside, this, [this] {
            forgetCalls();
            forgetEntity(0);
            emit statusesChanged();
        });
        connect(logbook, &QObject::destroyed, this, [this] {
            m_calls.clear();
            m_entities.clear();
            emit statusesChanged();
        });
    }
    emit statusesChanged();
}

SpotStatus SpotStatusCalculator::statusOf(const DxSpot &spot)
{
    SpotStatus status;
    status.band = SpotModeGuess::band(spot.frequencyKHz);
    status.mode = SpotModeGuess::mode(spot.frequencyKHz, spot.comment);
    status.modeClass = modeClassOf(status.mode);
    CallFacts &call = callFacts(spot.dxCall);
    status.entity = call.entity;
    if (status.entity > 0) {
        const Country &entity = country(status.entity, spot.dxCall);
        status.country = entity.name;
        status.continent = entity.continent;
    }
    if (!hasLogbook())
        return status;
    if (!call.pairsRead) {
        for (const Sqlite3DB::UM_BANDMODE &pair : m_logbook->FindBandModesOfCall(spot.dxCall))
            call.pairs.insert(pairKey(pair.band, modeClassOfCode(pair.mode)));
        call.pairsRead = true;
    }
    status.callWorkedBefore = !status.band.isEmpty() && status.modeClass != SpotStatus::ModeClass::Unknown
                           && call.pairs.contains(pairKey(status.band, status.modeClass));
    if (status.entity > 0)
        status.kind = kindOf(entityFacts(status.entity), status.band, status.modeClass);
    return status;
}

// New before worked, and the entity before its band before its mode: the rarest need
// is the one shown. A band or mode that cannot be told is not counted against.
SpotStatus::Kind SpotStatusCalculator::kindOf(const EntityFacts &facts, const QString &band,
                                              SpotStatus::ModeClass modeClass)
{
    using Kind = SpotStatus::Kind;
    if (!facts.worked)
        return Kind::NewEntity;
    if (!band.isEmpty() && !facts.bands.contains(band))
        return Kind::NewBand;
    const int line = static_cast<int>(modeClass);
    if (line >= 0 && !facts.classes[line])
        return Kind::NewMode;
    for (int each = 0; each < 3; ++each) {
        if (line >= 0 && each != line)
            continue;
        const QHash<QString, bool> &bands = facts.confirmedByBand[each];
        for (auto it = bands.cbegin(); it != bands.cend(); ++it) {
            if (it.value() && (band.isEmpty() || it.key() == band))
                return Kind::Confirmed;
        }
    }
    return Kind::Worked;
}

SpotStatus::ModeClass SpotStatusCalculator::modeClassOf(const QString &mode)
{
    if (mode.isEmpty())
        return SpotStatus::ModeClass::Unknown;
    const std::optional<QsoModes::Choice> choice = QsoModes::find(mode);
    // A mode the logbook has no name for is one of the many digital ones.
    return choice ? modeClassOfCode(choice->code) : SpotStatus::ModeClass::Digital;
}

SpotStatus::ModeClass SpotStatusCalculator::modeClassOfCode(int code)
{
    switch (code) {
    case QsoModes::kCw: return SpotStatus::ModeClass::Cw;
    case QsoModes::kRtty: return SpotStatus::ModeClass::Digital;
    case QsoModes::kSsb:
    case QsoModes::kFm:
    case QsoModes::kAm: return SpotStatus::ModeClass::Phone;
    default: return SpotStatus::ModeClass::Unknown;
    }
}

CKorva3Doc &SpotStatusCalculator::resolver()
{
    if (m_logbook)
        return *m_logbook;
    if (!m_programOnly)
        m_programOnly = std::make_unique<CKorva3Doc>(QString());
    return *m_programOnly;
}

bool SpotStatusCalculator::hasLogbook() const
{
    return m_logbook && !m_logbook->pathName().isEmpty();
}

SpotStatusCalculator::CallFacts &SpotStatusCalculator::callFacts(const QString &call)
{
    auto found = m_calls.find(call);
    if (found != m_calls.end())
        return *found;
    if (m_calls.size() >= kCallCacheLimit)
        m_calls.clear();
    CallFacts facts;
    facts.entity = resolver().ResolveCallsign(call);
    return *m_calls.insert(call, facts);
}

// The grid's three lines, as the entry form shows them for the entity.
const SpotStatusCalculator::EntityFacts &SpotStatusCalculator::entityFacts(int entity)
{
    auto found = m_entities.constFind(entity);
    if (found != m_entities.cend())
        return *found;
    EntityFacts facts;
    const std::array<QList<Sqlite3DB::UM_DXCCREPORT>, 3> grid = m_logbook->QueryDxccGrid(entity);
    for (int line = 0; line < 3; ++line) {
        for (const Sqlite3DB::UM_DXCCREPORT &row : grid[line]) {
            if (row.countW <= 0)
                continue;
            facts.worked = true;
            facts.bands.insert(row.band);
            facts.classes[line] = true;
            bool &confirmed = facts.confirmedByBand[line][row.band];
            confirmed = confirmed || row.countC > 0;
        }
    }
    return *m_entities.insert(entity, facts);
}

const SpotStatusCalculator::Country &SpotStatusCalculator::country(int entity, const QString &call)
{
    auto found = m_countries.constFind(entity);
    if (found != m_countries.cend())
        return *found;
    Country named;
    if (const std::optional<ProgramDb::UM_COUNTRYINFO> info = resolver().GetCountryInfo(entity, call)) {
        named.name = info->country;
        named.continent = info->continent;
    }
    return *m_countries.insert(entity, named);
}

QString SpotStatusCalculator::pairKey(const QString &band, SpotStatus::ModeClass modeClass)
{
    return band + QLatin1Char('/') + QString::number(static_cast<int>(modeClass));
}

// The calls' entities stay: they come from the program database.
void SpotStatusCalculator::forgetCall(const QString &call)
{
    for (auto it = m_calls.begin(); it != m_calls.end(); ++it) {
        if (it.key().compare(call, Qt::CaseInsensitive) == 0) {
            it->pairsRead = false;
            it->pairs.clear();
        }
    }
}

void SpotStatusCalculator::forgetCalls()
{
    for (CallFacts &facts : m_calls) {
        facts.pairsRead = false;
        facts.pairs.clear();
    }
}

void SpotStatusCalculator::forgetEntity(int entity)
{
    if (entity == 0)
        m_entities.clear();
    else
        m_entities.remove(entity);
}
