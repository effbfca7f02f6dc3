#pragma once

#include "platform/CommandTarget.h"
#include "store/Sqlite3DB.h"

#include <QDateTime>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

class CKorva3Doc;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// The form of a QSL window: looks QSOs up by the beginning of their call, marks the QSL
// card of the selected QSO received (Y) or not (N) with the DXCC statistics kept in
// step, or sent, keeping the day of either as ADIF's QSLRDATE or QSLSDATE, and opens
// it in the edit dialog. Every command on a row works from the QSO's
// row id, never from the row's texts.
class CQslView : public QWidget, public CommandTarget
{
    Q_OBJECT

public:
    // Edits a QSO in a modal dialog: the edited QSO on OK, nothing otherwise.
    using QsoEditor = std::function<std::optional<Sqlite3DB::UM_RECORD>(CKorva3Doc *document,
                                                                        const Sqlite3DB::UM_RECORD &qso,
                                                                        QWidget *parent)>;

    static constexpr int kLookupLimit = 16;
    static constexpr int kQslYes = 2;
    static constexpr int kQslNo = 1;
    static constexpr int kQslSentYes = 3;
    // The clock a card's day comes from (UTC); tests set their own.
    static QDateTime (*s_clock)();

    explicit CQslView(CKorva3Doc *document, QWidget *parent = nullptr);

    CKorva3Doc *GetDocument() const { return m_doc; }

    bool handlesCommand(int id) const override;
    bool commandEnabled(int id) const override;
    void onCommand(int id) override;

    // The dialog that Change Qso runs, "Edit Qso" unless replaced; without one the
    // command is not handled.
    void setQsoEditor(QsoEditor editor) { m_editQso = std::move(editor); }

    void OnClearForm();
    void OnLookupQsos();
    void OnChangeQso();
    void SetQslReceived(int value);
    void SetQslSent();

    QLineEdit *lookupField() const { return m_lookupField; }
    QTableWidget *qsoList() const { return m_qsoList; }
    QPushButton *qslRcvdButton() const { return m_qslRcvdButton; }
    QPushButton *qslSentButton() const { return m_qslSentButton; }
    QString foundCountText() const;
    // The QSOs of the last lookup, oldest first.
    const QList<Sqlite3DB::UM_RECORD> &foundQsos() const { return m_found; }

signals:
    // The list's selection changed, and with it whether Change Qso is enabled.
    void commandsChanged();

protected:
    // Space in the lookup field is the window's "Qslcard rcvd -> Y" key, never a
    // character of a call.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildForm();
    bool pullFields();
    void pushFields();
    void ClearQsoList();
    void FillQsoList();
    void setRowTexts(int row, const QStringList &texts);
    int selectedRow() const;
    // The QSO of a list row, read anew; nothing, after telling the operator, when it
    // cannot be read or no longer exists.
    std::optional<Sqlite3DB::UM_RECORD> readRowQso(int row);
    void lookUpAgain();

    CKorva3Doc *m_doc;
    QString m_lookupCall;
    // The text of the last lookup, which a change of the logbook reads again.
    bool m_lookedUp = false;
    QString m_listedCall;
    QString m_foundCount;
    QList<Sqlite3DB::UM_RECORD> m_found;
    QsoEditor m_editQso;

    QLineEdit *m_lookupField = nullptr;
    QPushButton *m_lookupButton = nullptr;
    QPushButton *m_qslRcvdButton = nullptr;
    QPushButton *m_qslSentButton = nullptr;
    QLabel *m_foundCountField = nullptr;
    QTableWidget *m_qsoList = nullptr;
};
