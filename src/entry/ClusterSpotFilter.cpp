#include "ClusterSpotFilter.h"

#include "ClusterSpotModel.h"

ClusterSpotFilter::ClusterSpotFilter(ClusterSpotModel *spots, QObject *parent)
    : QSortFilterProxyModel(parent)
    , m_spots(spots)
{
    setSourceModel(spots);
    // A status that changes may let a spot in or out.
    setDynamicSortFilter(true);
}

void ClusterSpotFilter::setBand(const QString &band)
{
    m_band = band;
    invalidateRowsFilter();
}

void ClusterSpotFilter::setModeClass(std::optional<SpotStatus::ModeClass> modeClass)
{
    m_modeClass = modeClass;
    invalidateRowsFilter();
}

void ClusterSpotFilter::setContinent(const QString &continent)
{
    m_continent = continent;
    invalidateRowsFilter();
}

void ClusterSpotFilter::setNeededOnly(bool neededOnly)
{
    m_neededOnly = neededOnly;
    invalidateRowsFilter();
}

bool ClusterSpotFilter::filterAcceptsRow(int sourceRow, const QModelIndex &) const
{
    const SpotStatus &status = m_spots->statusAt(sourceRow);
    return (m_band.isEmpty() || status.band == m_band) && (!m_modeClass || status.modeClass == *m_modeClass)
        && (m_continent.isEmpty() || status.continent == m_continent) && (!m_neededOnly || status.isNeeded());
}
