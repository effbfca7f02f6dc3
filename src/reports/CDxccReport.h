#pragma once

#include "store/DxccTotals.h"

#include "forms/PrintableView.h"

#include <QDialog>
#include <QHash>

class CKorva3Doc;
class QLineEdit;

// "Dxcc Report": DXCC entities worked and confirmed per band and mode, with band, mode
// and mixed totals and the number of QSOs, from the document's statistics, read again
// whenever the logbook changes while it is open.
class CDxccReport : public QDialog, public PrintableView
{
    Q_OBJECT

public:
    // The logbook window's form opens the report on its document. Without a document
    // every field stays empty.
    CDxccReport(QWidget *parent, CKorva3Doc *document);

    // The text of the value field with the given control number (1010 "Total Qso's",
    // 1012 mixed, 1015/1016/1038 mode totals, 1013.. band cells); empty for any other.
    QString fieldText(int controlId) const;

    // Control numbers of the band cells: [band row][CW, SSB, RTTY, band total].
    static const int kCellIds[ReportBands::kCount][4];
    static const int kModeTotalIds[DxccTotals::kModes];
    static constexpr int kTotalQsosId = 1010;
    static constexpr int kMixedId = 1012;

    // The cells as the report shows them, for its Print and Print Preview buttons.
    PrintedTable printedTable() const override;

private:
    void buildForm();
    QLineEdit *addValueField(int controlId);
    void fillFields(const DxccTotals &totals);

    QHash<int, QLineEdit *> m_fields;
};
