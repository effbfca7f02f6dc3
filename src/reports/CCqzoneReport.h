#pragma once

#include "store/CqZoneGrid.h"

#include "forms/PrintableView.h"

#include <QDialog>
#include <QFont>
#include <QStringList>

class CKorva3Doc;
class QWidget;

// "CQ zone Report": for every report band a row of 40 marks, one per CQ zone, blank,
// "W" (worked) or "C" (confirmed). The form paints the zone numbers 1 to 40 and the rows
// itself, in 40 columns shared by both, so that each mark stands centred under its
// zone's number whatever the fonts. The rows follow every change of the logbook while
// the report is open.
class CCqzoneReport : public QDialog, public PrintableView
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
    // The rectangle, in the form's coordinates, of the zone numbers over the rows.
    QRect headingRect() const;

    // The 40 marks of a grid row joined by tabs. A zero byte (a grid never filled)
    // shows as a blank.
    static QString RowText(const CqZoneGrid &grid, int row);

    static const int kRowIds[ReportBands::kCount];

    // The rows as the report shows them, for its Print and Print Preview buttons.
    PrintedTable printedTable() const override;

protected:
    // Paints the heading and the row areas: they hold no painting of their own.
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildForm();
    void fillRows(CKorva3Doc &document);
    void fitColumns();
    int columnWidth() const;
    QRectF columnRect(int zone, int height) const;
    void paintHeading();
    void paintRow(int row);

    QFont m_font;
    QWidget *m_heading = nullptr;
    QList<QWidget *> m_rowAreas;
    QStringList m_rowTexts;
};
