#include "ClusterSpotModel.h"

#include <QFont>

ClusterSpotModel::ClusterSpotModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void ClusterSpotModel::addSpot(const DxSpot &spot, const SpotStatus &status)
{
    beginInsertRows(QModelIndex(), 0, 0);
    m_rows.prepend({spot, status});
    endInsertRows();
    if (m_rows.size() > kLimit) {
        beginRemoveRows(QModelIndex(), kLimit, static_cast<int>(m_rows.size()) - 1);
        m_rows.resize(kLimit);
        endRemoveRows();
    }
}

void ClusterSpotModel::restatus(const std::function<SpotStatus(const DxSpot &)> &statusOf)
{
    for (int row = 0; row < m_rows.size(); ++row) {
        const SpotStatus status = statusOf(m_rows.at(row).spot);
        SpotStatus &kept = m_rows[row].status;
        if (status.kind == kept.kind && status.callWorkedBefore == kept.callWorkedBefore && status.entity == kept.entity)
            continue;
        kept = status;
        emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
    }
}

void ClusterSpotModel::clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

QColor ClusterSpotModel::colourOf(SpotStatus::Kind kind)
{
    switch (kind) {
    case SpotStatus::Kind::NewEntity: return QColor(255, 128, 128);
    case SpotStatus::Kind::NewBand: return QColor(255, 190, 100);
    case SpotStatus::Kind::NewMode: return QColor(255, 236, 130);
    case SpotStatus::Kind::Worked: return QColor(176, 212, 255);
    case SpotStatus::Kind::Confirmed: return QColor(214, 214, 214);
    case SpotStatus::Kind::Unknown: break;
    }
    return QColor();
}

QString ClusterSpotModel::statusText(const SpotStatus &status)
{
    const QString text = SpotStatus::text(status.kind);
    if (!status.callWorkedBefore)
        return text;
    return text.isEmpty() ? QStringLiteral("b4") : text + QStringLiteral(", b4");
}

int ClusterSpotModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ClusterSpotModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString ClusterSpotModel::text(const Row &row, int column) const
{
    switch (column) {
    case Time: return row.spot.time.toString(QStringLiteral("HH:mm"));
    case Frequency: return QString::number(row.spot.frequencyKHz, 'f', 1);
    case Call: return row.spot.dxCall;
    case Entity: return row.status.country;
    case Status: return statusText(row.status);
    case Comment: return row.spot.comment;
    case Spotter: return row.spot.spotter;
    default: return QString();
    }
}

QVariant ClusterSpotModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return QVariant();
    const Row &row = m_rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return text(row, index.column());
    case Qt::BackgroundRole: {
        const QColor colour = colourOf(row.status.kind);
        return colour.isValid() ? QVariant(colour) : QVariant();
    }
    case Qt::ForegroundRole:
        // Dark text on the light status colours, whatever the desktop's theme.
        return colourOf(row.status.kind).isValid() ? QVariant(QColor(Qt::black)) : QVariant();
    case Qt::FontRole: {
        if (!row.status.callWorkedBefore)
            return QVariant();
        QFont italic;
        italic.setItalic(true);
        return italic;
    }
    case Qt::TextAlignmentRole:
        return index.column() == Frequency ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter)) : QVariant();
    default:
        return QVariant();
    }
}

QVariant ClusterSpotModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    static const char *const kTitles[ColumnCount] = {"Time", "kHz", "Call", "Entity", "Status", "Comment", "Spotter"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(kTitles[section]) : QString();
}
