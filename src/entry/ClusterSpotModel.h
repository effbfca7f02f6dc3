#pragma once

#include "net/DxSpot.h"
#include "net/SpotStatus.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QList>

#include <functional>

// The spots of the DX Cluster window, newest first and at most kLimit of them (the
// oldest drop off the end), each with its status: time, frequency, call, entity, status,
// comment and spotter. A row's background is the colour of its status; a call worked
// before on the spot's band and mode is shown in italics, its status ending in ", b4".
class ClusterSpotModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Time, Frequency, Call, Entity, Status, Comment, Spotter, ColumnCount };
    static constexpr int kLimit = 1000;

    explicit ClusterSpotModel(QObject *parent = nullptr);

    void addSpot(const DxSpot &spot, const SpotStatus &status);
    // Gives every spot its status anew; only rows whose status changed are redrawn.
    void restatus(const std::function<SpotStatus(const DxSpot &)> &statusOf);
    void clear();

    const DxSpot &spotAt(int row) const { return m_rows.at(row).spot; }
    const SpotStatus &statusAt(int row) const { return m_rows.at(row).status; }

    // The background of a status; none (invalid) for Unknown.
    static QColor colourOf(SpotStatus::Kind kind);
    // The status column's text.
    static QString statusText(const SpotStatus &status);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    struct Row
    {
        DxSpot spot;
        SpotStatus status;
    };
    QString text(const Row &row, int column) const;

    QList<Row> m_rows;
};
