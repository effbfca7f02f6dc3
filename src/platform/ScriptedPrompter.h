#pragma once

#include "Prompter.h"

#include <QList>
#include <QQueue>
#include <QString>

// A Prompter for tests and windowless runs: records every box and file dialog, and
// answers from queues filled beforehand (Cancel and "no file" once they run dry).
class ScriptedPrompter : public Prompter
{
public:
    struct Shown
    {
        enum class Kind { Message, Question, File };
        Kind kind;
        Icon icon;      // for messages
        QString text;   // message or question text, or the file dialog's title
        QString caption; // for questions
        FileRequest request; // for file dialogs
    };

    void setNextAnswer(Answer answer) { m_answers.enqueue(answer); }
    void setNextFile(const QString &path) { m_files.enqueue(path); }

    void message(Icon icon, const QString &text) override;
    Answer ask(const QString &text, const QString &caption) override;
    QString chooseFile(const FileRequest &request) override;

    const QList<Shown> &shown() const { return m_shown; }
    // The texts of every message and question, in order.
    QStringList texts() const;
    void clear();

private:
    QList<Shown> m_shown;
    QQueue<Answer> m_answers;
    QQueue<QString> m_files;
};
