#pragma once

#include "store/CqZoneGrid.h"

#include <QDialog>
#include <QFont>
#include <QStringList>

class CKorva3Doc;
class QWidget;

// "CQ zone Report": for every report band a row of 40 marks, one per CQ zone, blank,
// "W" (worked) or "C" (confirmed). The form paints the rows itself in dark blue.
class CCqzoneReport : public QDialog
{
    Q_OBJECT

public:
    // The logbook window's form opens the report on its document. Without a document
    // every row stays empty.
    CCqzoneReport(QWidget *parent, CKorva3Doc *document);

    // The text painted in band row r: 40 marks separated by tabs.
    QString rowText(int row) const { return m_rowTexts.value(row); }
    // The rectangle, in the form's coordinates, that row r is painted in.
    QRect rowRect(int row) const;

    // The 40 marks of a grid row joined by tabs. A zero byte (a grid never filled)
    // shows as a blank.
    static QString RowText(const CqZoneGrid &grid, int row);

    static const int kRowIds[ReportBands::kCount];

protected:
    // Paints the row areas: they hold no painting of their own.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildForm();
    void paintRow(int row);

    QFont m_font;
    QList<QWidget *> m_rowAreas;
    QStringList m_rowTexts;
};
