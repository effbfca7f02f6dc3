#pragma once

#include "forms/WidgetPrompter.h"

#include <QApplication>

// The dialog program: shows CKorva3RefDataDlg modally; the program ends when it closes.
class CKorva3RefDataApp : public QApplication
{
    Q_OBJECT

public:
    CKorva3RefDataApp(int &argc, char **argv);
    ~CKorva3RefDataApp() override;

    // Runs the dialog to its end; returns the program's exit status.
    int InitInstance();

private:
    WidgetPrompter m_prompter;
};
