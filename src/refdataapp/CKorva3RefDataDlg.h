#pragma once

#include <QDialog>

class QGridLayout;
class QPushButton;

// The one window of Korva3RefData: three buttons, each writing one SQL script into
// the current directory, and OK to close. A Qt dialog has no system menu, so the
// About item sits in the dialog's context menu (right mouse button anywhere on it).
class CKorva3RefDataDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CKorva3RefDataDlg(QWidget *parent = nullptr);

public slots:
    void OnReadCtyCsv();
    void OnCreateBasicTables();
    void OnReadQslMgr();
    void OnAbout();

private:
    void buildLayout();
    QPushButton *addConversionRow(QGridLayout *grid, int row, const QString &buttonText,
                                  const QString &note);
    void addAboutItem(const QString &text);
};
