#pragma once

#include <QDialog>

class CKorva3Doc;
class CKorva3View;
class CTrxLink;
class QComboBox;
class QLineEdit;

// The station settings: UTC offset, own locator, whether to ask before adding a QSO,
// transceiver type, its serial port and the ADIF export period. Shows the values in
// force in the owner form, the transceiver link and the document; OK puts them back
// there and writes the six parameters.
class CSetup : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kTextLimit = 6;

    // `owner` may be null: the dialog then shows empty controls and OK changes nothing
    // but the parameters.
    CSetup(CKorva3View *owner, CTrxLink *link);

    // The members of the data exchange, in its order.
    QString m_utcOffsetText;
    QString m_locatorText;
    int m_askIndex = -1;
    int m_rigIndex = -1;
    int m_portIndex = -1;
    int m_adifPeriodIndex = -1;

    QLineEdit *utcOffsetEdit() const { return m_utcOffsetEdit; }
    QLineEdit *locatorEdit() const { return m_locatorEdit; }
    QComboBox *askList() const { return m_askList; }
    QComboBox *rigList() const { return m_rigList; }
    QComboBox *portList() const { return m_portList; }
    QComboBox *periodList() const { return m_periodList; }

    void accept() override;

private:
    void buildForm();
    void OnInitDialog();
    void pushFields();
    bool pullFields();
    void storeValues();

    CKorva3View *m_pOwnerView;
    CKorva3Doc *m_doc = nullptr;
    CTrxLink *m_link;
    QLineEdit *m_utcOffsetEdit = nullptr;
    QLineEdit *m_locatorEdit = nullptr;
    QComboBox *m_askList = nullptr;
    QComboBox *m_rigList = nullptr;
    QComboBox *m_portList = nullptr;
    QComboBox *m_periodList = nullptr;
};
