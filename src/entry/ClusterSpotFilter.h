#pragma once

#include "net/SpotStatus.h"

#include <QSortFilterProxyModel>

#include <optional>

class ClusterSpotModel;

// The spots the DX Cluster window shows: of one band, one mode class, one continent,
// and only those still needed (a new entity, band or mode), each filter off until set.
class ClusterSpotFilter : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit ClusterSpotFilter(ClusterSpotModel *spots, QObject *parent = nullptr);

    // An empty band or continent, no mode class: every spot.
    void setBand(const QString &band);
    void setModeClass(std::optional<SpotStatus::ModeClass> modeClass);
    void setContinent(const QString &continent);
    void setNeededOnly(bool neededOnly);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    ClusterSpotModel *m_spots;
    QString m_band;
    std::optional<SpotStatus::ModeClass> m_modeClass;
    QString m_continent;
    bool m_neededOnly = false;
};
