#pragma once

#include <QDialog>

// The About box of Korva3.
class CAboutDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget *parent = nullptr);

    // The text of the version field.
    static QString versionText();
};
