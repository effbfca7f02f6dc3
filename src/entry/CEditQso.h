#pragma once

#include <QDateTime>
#include <QDialog>
#include <QString>

class CKorva3Doc;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QTimeEdit;

// "Edit Qso": corrects one QSO. It shows element 0 of the document's m_records, which
// the caller has read with ReadQso, and on OK replaces m_records by the edited record;
// the caller writes it to the logbook. Cancel leaves m_records as it was.
class CEditQso : public QDialog
{
    Q_OBJECT

public:
    explicit CEditQso(CKorva3Doc *document, QWidget *parent = nullptr);

    void accept() override;
    void OnQslMgrDb();
    void OnFreqKillFocus();

    QDateEdit *dateEdit() const { return m_dateEdit; }
    QTimeEdit *timeEdit() const { return m_timeEdit; }
    QLineEdit *callEdit() const { return m_callEdit; }
    QLineEdit *rstSentEdit() const { return m_rstSentEdit; }
    QLineEdit *rstRcvdEdit() const { return m_rstRcvdEdit; }
    QLineEdit *freqEdit() const { return m_freqEdit; }
    QLineEdit *bandEdit() const { return m_bandEdit; }
    QComboBox *modeList() const { return m_modeList; }
    QLineEdit *powerEdit() const { return m_powerEdit; }
    QLineEdit *gridEdit() const { return m_gridEdit; }
    QLineEdit *qslMgrEdit() const { return m_qslMgrEdit; }
    QLineEdit *cqZoneEdit() const { return m_cqZoneEdit; }
    QComboBox *qslSentList() const { return m_qslSentList; }
    QComboBox *qslRcvdList() const { return m_qslRcvdList; }
    QLineEdit *iotaEdit() const { return m_iotaEdit; }
    QLineEdit *nameEdit() const { return m_nameEdit; }
    QLineEdit *qthEdit() const { return m_qthEdit; }
    QLineEdit *address1Edit() const { return m_address1Edit; }
    QLineEdit *address2Edit() const { return m_address2Edit; }
    QLineEdit *remarksEdit() const { return m_remarksEdit; }
    QComboBox *countryList() const { return m_countryList; }
    QPushButton *qslMgrDbButton() const { return m_qslMgrDbButton; }

    // The dialog's values.
    QDateTime m_date;
    QDateTime m_time;
    QString m_call;
    QString m_rstSent;
    QString m_rstRcvd;
    QString m_freq;
    QString m_band;
    int m_modeIndex = 0;
    QString m_power;
    QString m_grid;
    QString m_qslMgr;
    QString m_cqZone;
    int m_qslSentIndex = 0;
    int m_qslRcvdIndex = 0;
    QString m_iota;
    QString m_name;
    QString m_qth;
    QString m_address1;
    QString m_address2;
    QString m_remarks;
    int m_countryIndex = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildForm();
    QWidget *buildLeftFrame();
    QWidget *buildRightFrame();
    void OnInitDialog();
    bool pullFields();
    void pushFields();

    CKorva3Doc *m_pDoc;
    // The stored texts and what the pickers first showed of them: unless the operator
    // changes a picker, its text goes back as it was stored.
    QString m_storedDate;
    QString m_storedTime;
    QDate m_shownDate;
    QTime m_shownTime;
    QDateEdit *m_dateEdit = nullptr;
    QTimeEdit *m_timeEdit = nullptr;
    QLineEdit *m_callEdit = nullptr;
    QLineEdit *m_rstSentEdit = nullptr;
    QLineEdit *m_rstRcvdEdit = nullptr;
    QLineEdit *m_freqEdit = nullptr;
    QLineEdit *m_bandEdit = nullptr;
    QComboBox *m_modeList = nullptr;
    QLineEdit *m_powerEdit = nullptr;
    QLineEdit *m_gridEdit = nullptr;
    QLineEdit *m_qslMgrEdit = nullptr;
    QLineEdit *m_cqZoneEdit = nullptr;
    QComboBox *m_qslSentList = nullptr;
    QComboBox *m_qslRcvdList = nullptr;
    QLineEdit *m_iotaEdit = nullptr;
    QLineEdit *m_nameEdit = nullptr;
    QLineEdit *m_qthEdit = nullptr;
    QLineEdit *m_address1Edit = nullptr;
    QLineEdit *m_address2Edit = nullptr;
    QLineEdit *m_remarksEdit = nullptr;
    QComboBox *m_countryList = nullptr;
    QPushButton *m_qslMgrDbButton = nullptr;
};
