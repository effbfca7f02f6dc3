#include "LogbookGenerator.h"

#include "platform/DbDateTime.h"
#include "store/SlotConnection.h"
#include "store/SqliteStatement.h"
#include "store/SqliteTransaction.h"

#include <QDateTime>

#include <array>

namespace {

// Real DXCC entity numbers, the most worked first.
constexpr std::array<int, 48> kEntities = {
    291, 230, 281, 248, 227, 209, 223, 236, 206, 503, 263, 239, 269, 1,   150, 110,
    54,  15,  100, 108, 318, 339, 284, 266, 497, 212, 221, 224, 5,   245, 14,  40,
    45,  446, 70,  62,  104, 202, 116, 120, 126, 327, 132, 137, 144, 479, 480, 511};
constexpr std::array<const char *, 16> kBands = {
    "20", "40", "15", "10", "80", "17", "12", "30", "160", "6", "2", "60", "70", "23", "", "20"};
constexpr std::array<double, 16> kBandWeights = {30, 22, 12, 10, 8, 5, 3, 3, 2, 2, 1, 0.5, 0.5, 0.3, 0.2, 0};
constexpr std::array<const char *, 10> kPrefixes = {"DL", "K", "W", "EA", "F", "G", "I", "JA", "VK", "PA"};
constexpr std::array<const char *, 5> kFreqOfMode = {"14.025", "14.250", "14.080", "145.500", "3.700"};

std::discrete_distribution<int> entityWeights()
{
    std::array<double, kEntities.size()> weights{};
    for (std::size_t i = 0; i < weights.size(); ++i)
        weights[i] = 1.0 / static_cast<double>(i + 1); // Zipf-like popularity
    return std::discrete_distribution<int>(weights.begin(), weights.end());
}

} // namespace

LogbookGenerator::LogbookGenerator(std::uint32_t seed)
    : m_random(seed)
    , m_entities(entityWeights())
    , m_bands(kBandWeights.begin(), kBandWeights.end())
    , m_modes({40, 35, 20, 3, 2})
    , m_qslRcvd({70, 30})
{
}

QString LogbookGenerator::call()
{
    std::uniform_int_distribution<int> prefix(0, kPrefixes.size() - 1);
    std::uniform_int_distribution<int> digit(0, 9);
    std::uniform_int_distribution<int> letter(0, 25);
    QString text = QString::fromLatin1(kPrefixes[static_cast<std::size_t>(prefix(m_random))]);
    text += QChar('0' + digit(m_random));
    for (int i = 0; i < 3; ++i)
        text += QChar('A' + letter(m_random));
    return text;
}

Sqlite3DB::UM_RECORD LogbookGenerator::next()
{
    std::uniform_int_distribution<int> gap(30, 900);
    std::uniform_int_distribution<int> zone(1, 40);
    std::uniform_int_distribution<int> percent(0, 99);

    m_seconds += gap(m_random);
    const QDateTime when = QDateTime(QDate(2016, 1, 1), QTime(0, 0), Qt::UTC).addSecs(m_seconds);

    Sqlite3DB::UM_RECORD r;
    r.date = DbDateTime::formatDate(when.date());
    r.time = DbDateTime::formatTime(when.time());
    r.call = call();
    r.mode = m_modes(m_random) + 1;
    r.sent = r.mode == 1 || r.mode == 3 ? QStringLiteral("599") : QStringLiteral("59");
    r.rcvd = r.sent;
    r.freq = QString::fromLatin1(kFreqOfMode[static_cast<std::size_t>(r.mode - 1)]);
    r.band = QString::fromLatin1(kBands[static_cast<std::size_t>(m_bands(m_random))]);
    r.power = QStringLiteral("100");
    const int roll = percent(m_random);
    r.cqZone = roll < 2 ? QString() : QString::number(zone(m_random));
    r.grid = QStringLiteral("JN47QK");
    r.qslSent = 1 + percent(m_random) % 4;
    r.qslRcvd = m_qslRcvd(m_random) + 1;
    r.name = roll % 7 == 0 ? QStringLiteral("O'Neil") : QStringLiteral("Hans");
    r.country = roll == 99 ? 0 : kEntities[static_cast<std::size_t>(m_entities(m_random))];
    return r;
}

QList<Sqlite3DB::UM_RECORD> LogbookGenerator::take(int count)
{
    QList<Sqlite3DB::UM_RECORD> out;
    out.reserve(count);
    for (int i = 0; i < count; ++i)
        out.append(next());
    return out;
}

bool LogbookGenerator::writeLogbook(const QString &path, int count)
{
    Sqlite3DB store;
    if (!store.CreateLogbook(path))
        return false;
    sqlite3 *slot = nullptr;
    SlotConnection db(slot, path);
    if (!db.isOpen())
        return false;
    SqliteTransaction transaction(db.handle());
    for (int done = 0; done < count; done += Sqlite3DB::kBatchRows) {
        if (!store.InsertQsoBatch(take(std::min(Sqlite3DB::kBatchRows, count - done)), db.handle()))
            return false;
    }
    return transaction.commit();
}
