#pragma once

#include <QByteArrayView>

#include <optional>

struct sqlite3;

// What the statistics count as a confirmed QSO: a paper QSL card received (QSLRCVD 2), a
// LoTW confirmation (the kept field LOTW_QSL_RCVD holding Y or V), or either. Every
// count of confirmed QSOs goes through here: the DXCC statistics as QSOs are written,
// imported and rebuilt, and the CQ zone marks.
//
// A logbook keeps the rule its statistics were counted by (LOGBOOKSTATE, "ConfirmedMeans"),
// so that they always agree with it; Setup's choice lives in the per-user settings and is
// applied to a logbook, its statistics rebuilt, when they differ.
class ConfirmedRule
{
public:
    enum Means { QslCard = 0, Lotw = 1, CardOrLotw = 2 };
    static constexpr Means kDefault = CardOrLotw;
    static constexpr int kCardReceived = 2;
    static constexpr const char *kLotwField = "LOTW_QSL_RCVD";
    static constexpr const char *kSettingsKey = "Confirmations/ConfirmedMeans";
    static constexpr const char *kStateName = "ConfirmedMeans";

    constexpr explicit ConfirmedRule(Means means = kDefault)
        : m_means(means)
    {
    }

    Means means() const { return m_means; }
    bool confirms(int qslRcvd, bool lotwConfirmed) const;
    // False for the card alone: then nobody needs to read LoTW's states.
    bool countsLotw() const { return m_means != QslCard; }
    bool operator==(const ConfirmedRule &other) const { return m_means == other.m_means; }
    bool operator!=(const ConfirmedRule &other) const { return m_means != other.m_means; }

    // A value of LOTW_QSL_RCVD that confirms: Y or V in any letter case, blanks around
    // it ignored.
    static bool lotwConfirms(QByteArrayView value);
    // The rule of a number as the settings and the logbook keep it; nothing for another.
    static std::optional<Means> fromNumber(int number);

    // The rule a logbook's statistics are counted by; the default for a logbook that
    // names none (one made before the rule was kept).
    static ConfirmedRule of(sqlite3 *db);
    // Records the rule on a connection inside the caller's transaction.
    static bool keep(sqlite3 *db, ConfirmedRule rule);
    // Setup's choice in the per-user settings; the default when it names none.
    static ConfirmedRule fromSettings();

private:
    Means m_means;
};
