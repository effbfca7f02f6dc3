#pragma once

#include <QDialog>

// The About box of Korva3RefData: the icon, the version line and OK.
class CRefDataAboutDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CRefDataAboutDlg(QWidget *parent = nullptr);
};
