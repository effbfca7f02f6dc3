#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QListWidget;

// Asks which logbook an ADIF file handed to the program (from the command line, a drop
// or a second start) goes into: one of the logbooks listed, or a new one.
class CImportTargetDlg : public QDialog
{
    Q_OBJECT

public:
    // `logbooks`: full paths, in the order shown; "New logbook..." follows them.
    CImportTargetDlg(const QString &adifPath, const QStringList &logbooks, QWidget *parent = nullptr);

    // The logbook chosen; an empty text for a new one.
    QString chosenLogbook() const;

    QLabel *questionLabel() const { return m_question; }
    QListWidget *list() const { return m_list; }

private:
    QLabel *m_question;
    QListWidget *m_list;
};
