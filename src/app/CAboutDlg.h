#pragma once

#include <QDialog>

// The About box of Korva3.
class CAboutDlg : public QDialog
{
    Q_OBJECT

public:
    static constexpr const char *kVersion = "3.0.14";

    explicit CAboutDlg(QWidget *parent = nullptr);

    // The text of the version field.
    static QString versionText();
};
