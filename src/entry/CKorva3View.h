#pragma once

#include "forms/ChoiceList.h"
#include "forms/QsoFieldEdits.h"
#include "forms/QsoFieldLists.h"
#include "forms/PrintableView.h"
#include "platform/CommandTarget.h"
#include "rig/TrxReadingReceiver.h"
#include "store/Sqlite3DB.h"

#include <QDateTime>
#include <QFont>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <optional>

class CallbookClient;
class CKorva3Doc;
class CTrxLink;
struct CallbookResult;
struct DxSpot;
class WsjtxLogging;
class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QFrame;
class QLabel;
class QLineEdit;
class QTableWidget;

// The QSO entry form of a logbook window: the fields of the QSO being entered, the
// worked-before list, the station information and worked/confirmed lines, and the
// painted title. The first target on the command route while its window is active.
//
// The form keeps its values in its members: pullFields moves every control's value into
// its member (refused when a field holds more than its limit), pushFields writes every
// member back.
class CKorva3View : public QWidget, public CommandTarget, public TrxReadingReceiver, public PrintableView
{
    Q_OBJECT

public:
    using Field = QsoFieldEdits::Field;

    // The worked/confirmed line of a country with nothing worked.
    static const QString kBlankGridLine;
    static const QString kLatestQsosLine;

    // The computer's clock; tests set one of their own.
    static QDateTime (*s_clock)();

    explicit CKorva3View(CKorva3Doc *document, QWidget *parent = nullptr);
    ~CKorva3View() override;

    CKorva3Doc *GetDocument() const { return m_doc; }
    void setTrxLink(CTrxLink *link) { m_trxLink = link; }
    // The callbook asked when a call has been entered; null for none.
    void setCallbook(CallbookClient *callbook);
    void setWsjtxLogging(WsjtxLogging *logging) { m_wsjtxLogging = logging; }

    // Fills the lists and reads the parameters; runs once, when the form is first shown.
    void OnInitialUpdate();

    // The QSO list as shown, for File>Print; its window gives the title.
    PrintedTable printedTable() const override;

    bool handlesCommand(int id) const override;
    bool commandEnabled(int id) const override;
    void onCommand(int id) override;

    // The transceiver's frequency, band, mode position and reports go straight into
    // the controls; the members follow at the next pull.
    void SetTrxReading(const TrxReading &reading) override;

    // A spot of the DX cluster taken into a form that holds no call: the call as if the
    // operator had typed it and left the field (entity, station information, worked
    // before, grid lines, callbook), the frequency in the form's way of writing it, its
    // band, and `mode` (a name of the mode list) with its reports. False, and nothing
    // changed, when the form holds a call.
    bool TakeSpot(const DxSpot &spot, const QString &mode);

    // Commands.
    void OnClearForm();
    void OnAddQso();
    void OnActualTime();
    void OnSetRst();
    void OnLookupQsos();
    void OnLatestQsos();
    void OnChangeQso();
    void OnDeleteQso();
    void OnSetup();
    void OnDxccReport();
    void OnCqzoneReport();

    // Field events.
    void OnCallChange();
    void OnCallKillFocus();
    void OnFreqKillFocus();
    bool acceptBand();
    void OnGridKillFocus();
    void OnCountrySelChange();

    bool pullFields();
    void pushFields();
    void SetUtcNow();
    // Whether the date and time follow the UTC clock (no call typed, no time set).
    bool clockRunning() const { return m_clockRunning; }
    void ClearEntryFields();

    // Station information and distance.
    void ShowStationInfo();
    double GreatCircleDistance(double lat2, double lon2) const;
    double Bearing(double lat2, double lon2, double arc) const;

    // Worked-before list and worked/confirmed lines.
    void ClearWorkedList();
    void FillWorkedList(const QList<Sqlite3DB::UM_RECORD> &records);
    void UpdateWorkedRow(int row, const QStringList &texts);
    static QString ComboTextById(const QComboBox *list, int code);
    static QString WorkedGridLine(const QList<Sqlite3DB::UM_DXCCREPORT> &rows);
    // The row holding the list's selection mark, or -1.
    int selectionMark() const;

    // Controls, for the transceiver query and for tests.
    QDateTimeEdit *dateEdit() const { return m_dateEdit; }
    QDateTimeEdit *timeEdit() const { return m_timeEdit; }
    QLineEdit *callEdit() const { return m_edits.edit(Field::Call); }
    QLineEdit *rstSentEdit() const { return m_edits.edit(Field::Sent); }
    QLineEdit *rstRcvdEdit() const { return m_edits.edit(Field::Rcvd); }
    QLineEdit *freqEdit() const { return m_edits.edit(Field::Freq); }
    QLineEdit *bandEdit() const { return m_edits.edit(Field::Band); }
    QComboBox *modeList() const { return m_modeList; }
    QLineEdit *powerEdit() const { return m_edits.edit(Field::Power); }
    QLineEdit *cqZoneEdit() const { return m_edits.edit(Field::CqZone); }
    QLineEdit *gridEdit() const { return m_edits.edit(Field::Grid); }
    QComboBox *qslSentList() const { return m_lists.qslSentList; }
    QComboBox *qslRcvdList() const { return m_lists.qslRcvdList; }
    QLineEdit *nameEdit() const { return m_edits.edit(Field::Name); }
    QLineEdit *qthEdit() const { return m_edits.edit(Field::Qth); }
    QLineEdit *address1Edit() const { return m_edits.edit(Field::Address1); }
    QLineEdit *address2Edit() const { return m_edits.edit(Field::Address2); }
    QLineEdit *remarksEdit() const { return m_edits.edit(Field::Remarks); }
    QComboBox *countryList() const { return m_lists.countryList; }
    QLineEdit *qslMgrEdit() const { return m_edits.edit(Field::QslMgr); }
    QLineEdit *iotaEdit() const { return m_edits.edit(Field::Iota); }
    QTableWidget *workedList() const { return m_workedList; }
    QCheckBox *searchByCountryBox() const { return m_searchByCountryBox; }
    QCheckBox *listBeforeBox() const { return m_listBeforeBox; }
    QLabel *foundCountLabel() const { return m_foundCountLabel; }
    QLabel *infoLine1Label() const { return m_infoLine1Label; }
    QLabel *infoLine2Label() const { return m_infoLine2Label; }
    QLabel *workedLineLabel(int group) const;
    QLabel *logbookLabel() const { return m_logbookLabelText; }
    QFrame *titleFrame() const { return m_titleFrame; }

    // Station settings; the setup dialog writes the first three.
    int m_utcOffset = 0;
    QString m_ownLocator;
    bool m_askYesNo = true;

signals:
    // The call text or the list's selection changed, and with them whether Add, Change
    // and Delete are enabled.
    void commandsChanged();
    // A line for the main window's status bar (what the callbook answered).
    void statusMessage(const QString &text);

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void buildForm();
    QWidget *buildTopRow();
    QWidget *buildWorkedGroup();
    QWidget *buildRightColumn();
    QWidget *buildGridGroup();
    void connectEvents();
    void readDefaults();
    void writeDefaults() const;
    void fillLists();
    void addEnteredQso();
    bool acceptMode();
    void refocus(QWidget *field);
    Sqlite3DB::UM_RECORD enteredQso() const;
    bool isLikelyDuplicate();
    void refreshWorkedList();
    void showGridLines(int dxcc);
    void setFoundCount(int count);
    QString distanceLine(double lat2, double lon2) const;
    int selectedModeCode() const;
    int selectedCountryId() const;
    std::optional<Sqlite3DB::UM_RECORD> readMarkedQso(int &rowId);

    // What the worked-before list shows, so that it can be read again after a change.
    struct ListQuery
    {
        enum class Kind { None, Latest, ByCall, ByCountry };
        Kind kind = Kind::None;
        int count = 0;
        QString call;
        int dxcc = 0;
    };
    // By value: the query may be the one the list holds, which clearing resets.
    void showList(ListQuery query);
    void tickClock();
    void startClock();
    void showDateTime();
    void listChanged();
    void statisticsChanged(int entity);
    void offerLastQso();
    void clearFilledIn();
    void callbookAnswered(const QString &call, const CallbookResult &result, const QString &status);
    void fillIn(QLineEdit *edit, const QString &value);
    void showGridDistance();

    CKorva3Doc *m_doc;
    CTrxLink *m_trxLink = nullptr;
    CallbookClient *m_callbook = nullptr;
    // The fields the form filled itself (from the last QSO, from the callbook) with the
    // text it put there, for the call it filled them for: a text still as it was put
    // is no operator's and gives way to the next call's.
    QHash<QLineEdit *, QString> m_filledIn;
    QString m_filledForCall;
    // The call this form asked the callbook for, until its answer comes.
    QString m_lookupCall;
    WsjtxLogging *m_wsjtxLogging = nullptr;
    bool m_initialised = false;
    bool m_refusingPull = false;
    double m_ownLatitude = 0.0;
    double m_ownLongitude = 0.0;

    // The form's values: the QSO's texts, and the state of its pickers, lists and lines.
    ListQuery m_listQuery;
    // The fields in the order Tab goes through them.
    QList<QWidget *> m_fieldOrder;
    // The call whose station information, list and grid the form shows.
    QString m_resolvedCall;
    bool m_clockRunning = true;
    bool m_dateTimeTyped = false;
    bool m_settingClock = false;
    // The entity whose worked/confirmed lines are shown; -1 for blank lines.
    int m_gridEntity = -1;

    QsoFieldEdits m_edits;
    ChoiceList *m_modeList;
    QsoFieldLists m_lists;
    Sqlite3DB::UM_RECORD m_qso;
    QDateTime m_date;
    QDateTime m_time;
    QString m_logbookLabel = QStringLiteral("Logbook: ");
    bool m_searchByCountry = false;
    bool m_listBefore = true;
    QString m_foundCount;
    QString m_infoLine1;
    QString m_infoLine2;
    QString m_workedCw;
    QString m_workedSsb;
    QString m_workedDigi;
    const QString m_title = QStringLiteral("Korva 3");
    QFont m_titleFont;

    QDateTimeEdit *m_dateEdit = nullptr;
    QDateTimeEdit *m_timeEdit = nullptr;
    QLabel *m_logbookLabelText = nullptr;
    QFrame *m_titleFrame = nullptr;
    QTableWidget *m_workedList = nullptr;
    QCheckBox *m_searchByCountryBox = nullptr;
    QCheckBox *m_listBeforeBox = nullptr;
    QLabel *m_foundCountLabel = nullptr;
    QLabel *m_infoLine1Label = nullptr;
    QLabel *m_infoLine2Label = nullptr;
    QLabel *m_workedCwLabel = nullptr;
    QLabel *m_workedSsbLabel = nullptr;
    QLabel *m_workedDigiLabel = nullptr;
};
