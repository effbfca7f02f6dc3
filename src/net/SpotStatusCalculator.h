#pragma once

#include "DxSpot.h"
#include "SpotStatus.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

#include <array>
#include <memory>

#include "document/CKorva3Doc.h"

// Gives each spot its entity (the document's call resolution) and its status against
// the logbook's DXCC statistics, read through the document as the entry form's
// worked/confirmed grid reads them, so that whatever counts as confirmed there counts
// here too. The spot's band comes from its frequency, its mode from the comment and
// the band plan.
//
// A spot costs a lookup in memory once its entity and call have been seen: the
// statistics of an entity and the bands and modes of a call are read once and kept
// until the document says they changed (statisticsChanged for the entity, any QSO
// written for the calls, everything after another program wrote). statusesChanged then
// tells the caller that the statuses it holds may be out of date.
class SpotStatusCalculator : public QObject
{
    Q_OBJECT

public:
    // Calls kept at most; beyond that the call cache starts afresh.
    static constexpr int kCallCacheLimit = 20000;

    explicit SpotStatusCalculator(QObject *parent = nullptr);
    ~SpotStatusCalculator() override;

    // The logbook to compare with; null (or a document of no logbook) leaves every
    // status Unknown, while the entity is still resolved through the program database.
    void setLogbook(CKorva3Doc *logbook);
    CKorva3Doc *logbook() const { return m_logbook; }

    SpotStatus statusOf(const DxSpot &spot);

    // The class of a mode name ("CW", "USB", "FT8") or of a stored mode code.
    static SpotStatus::ModeClass modeClassOf(const QString &mode);
    static SpotStatus::ModeClass modeClassOfCode(int code);

signals:
    void statusesChanged();

private:
    // What the statistics say of one entity: per mode class, the bands worked and
    // whether each is confirmed.
    struct EntityFacts
    {
        bool worked = false;
        QSet<QString> bands;
        std::array<bool, 3> classes{};
        std::array<QHash<QString, bool>, 3> confirmedByBand; // band -> confirmed, per class
    };
    struct Country
    {
        QString name;
        QString continent;
    };
    struct CallFacts
    {
        int entity = 0;
        bool pairsRead = false;
        QSet<QString> pairs; // "band/class" of every QSO with the call
    };

    CKorva3Doc &resolver();
    bool hasLogbook() const;
    CallFacts &callFacts(const QString &call);
    const EntityFacts &entityFacts(int entity);
    const Country &country(int entity, const QString &call);
    static SpotStatus::Kind kindOf(const EntityFacts &facts, const QString &band, SpotStatus::ModeClass modeClass);
    static QString pairKey(const QString &band, SpotStatus::ModeClass modeClass);
    void forgetCall(const QString &call);
    void forgetCalls();
    void forgetEntity(int entity);

    QPointer<CKorva3Doc> m_logbook;
    std::unique_ptr<CKorva3Doc> m_programOnly;
    QHash<QString, CallFacts> m_calls;
    QHash<int, EntityFacts> m_entities;
    QHash<int, Country> m_countries;
};
