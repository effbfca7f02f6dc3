#pragma once

#include "QsoFieldEdits.h"
#include "QsoFieldLists.h"
#include "store/Sqlite3DB.h"

#include <QDate>
#include <QDialog>
#include <QString>
#include <QTime>

class CKorva3Doc;
class QComboBox;
class QDateTimeEdit;
class QLineEdit;
class QPushButton;

// "Edit Qso": corrects one QSO. It shows the QSO the caller read with ReadQso and, on
// OK, holds the edited QSO in editedQso(); the caller writes it to the logbook. The
// document gives the lists, the QSL manager of a call and the band of a frequency.
class CEditQso : public QDialog
{
    Q_OBJECT

public:
    CEditQso(CKorva3Doc *document, const Sqlite3DB::UM_RECORD &qso, QWidget *parent = nullptr);

    // The QSO as the operator left it when OK was pressed.
    const Sqlite3DB::UM_RECORD &editedQso() const { return m_edited; }

    void accept() override;
    void OnQslMgrDb();
    void OnFreqKillFocus();

    QDateTimeEdit *dateEdit() const { return m_dateEdit; }
    QDateTimeEdit *timeEdit() const { return m_timeEdit; }
    QLineEdit *callEdit() const { return m_edits.edit(QsoFieldEdits::Field::Call); }
    QLineEdit *rstSentEdit() const { return m_edits.edit(QsoFieldEdits::Field::Sent); }
    QLineEdit *rstRcvdEdit() const { return m_edits.edit(QsoFieldEdits::Field::Rcvd); }
    QLineEdit *freqEdit() const { return m_edits.edit(QsoFieldEdits::Field::Freq); }
    QLineEdit *bandEdit() const { return m_edits.edit(QsoFieldEdits::Field::Band); }
    QComboBox *modeList() const { return m_lists.modeList; }
    QLineEdit *powerEdit() const { return m_edits.edit(QsoFieldEdits::Field::Power); }
    QLineEdit *gridEdit() const { return m_edits.edit(QsoFieldEdits::Field::Grid); }
    QLineEdit *qslMgrEdit() const { return m_edits.edit(QsoFieldEdits::Field::QslMgr); }
    QLineEdit *cqZoneEdit() const { return m_edits.edit(QsoFieldEdits::Field::CqZone); }
    QComboBox *qslSentList() const { return m_lists.qslSentList; }
    QComboBox *qslRcvdList() const { return m_lists.qslRcvdList; }
    QLineEdit *iotaEdit() const { return m_edits.edit(QsoFieldEdits::Field::Iota); }
    QLineEdit *nameEdit() const { return m_edits.edit(QsoFieldEdits::Field::Name); }
    QLineEdit *qthEdit() const { return m_edits.edit(QsoFieldEdits::Field::Qth); }
    QLineEdit *address1Edit() const { return m_edits.edit(QsoFieldEdits::Field::Address1); }
    QLineEdit *address2Edit() const { return m_edits.edit(QsoFieldEdits::Field::Address2); }
    QLineEdit *remarksEdit() const { return m_edits.edit(QsoFieldEdits::Field::Remarks); }
    QComboBox *countryList() const { return m_lists.countryList; }
    QPushButton *qslMgrDbButton() const { return m_qslMgrDbButton; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildForm();
    QWidget *buildLeftFrame();
    QWidget *buildRightFrame();
    void OnInitDialog(const Sqlite3DB::UM_RECORD &qso);
    bool pullFields();
    void pushFields();

    CKorva3Doc *m_doc;
    // The dialog's values: the record's texts, the lists' selections, the pickers'.
    QsoFieldEdits m_edits;
    QsoFieldLists m_lists;
    Sqlite3DB::UM_RECORD m_qso;
    QDate m_date;
    QTime m_time;
    // What the pickers first showed of the stored date and time: unless the operator
    // changes a picker, the stored text goes back as it was.
    QDate m_shownDate;
    QTime m_shownTime;
    Sqlite3DB::UM_RECORD m_edited;

    QDateTimeEdit *m_dateEdit = nullptr;
    QDateTimeEdit *m_timeEdit = nullptr;
    QPushButton *m_qslMgrDbButton = nullptr;
};
