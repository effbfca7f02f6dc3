#pragma once

#include "Prompter.h"

#include <QList>
#include <QQueue>
#include <QString>

#include <functional>

// A Prompter for tests and windowless runs: records every box and file dialog, and
// answers from queues filled beforehand (Cancel and "no file" once they run dry).
class ScriptedPrompter : public Prompter
{
public:
    struct Shown
    {
        enum class Kind { Message, Question, File, Print, PrintPreview };
        Kind kind;
        Icon icon;      // for messages
        QString text;   // message or question text, the file dialog's title, or what is printed
        QString caption; // for questions
        FileRequest request; // for file dialogs
    };

    void setNextAnswer(Answer answer) { m_answers.enqueue(answer); }
    void setNextFile(const QString &path) { m_files.enqueue(path); }
    // What the operator chooses in the next print dialog or preview (a printer, a PDF
    // file, the pages): set on the request's printer before the pages are painted on it.
    // Without one the dialog is cancelled.
    using PrinterChoice = std::function<void(QPrinter *)>;
    void setNextPrinter(PrinterChoice choice) { m_printers.enqueue(std::move(choice)); }

    void message(Icon icon, const QString &text) override;
    Answer ask(const QString &text, const QString &caption) override;
    QString chooseFile(const FileRequest &request) override;
    Answer print(const PrintRequest &request) override;

    const QList<Shown> &shown() const { return m_shown; }
    // The texts of every message and question, in order.
    QStringList texts() const;
    void clear();

private:
    QList<Shown> m_shown;
    QQueue<Answer> m_answers;
    QQueue<QString> m_files;
    QQueue<PrinterChoice> m_printers;
};
