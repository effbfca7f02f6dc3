#pragma once

#include "platform/Prompter.h"

class QTextStream;

// The Prompter of the windowless mode: each message goes to the stream with every line
// the dialog's box would show. Questions are answered Cancel, file dialogs
// give no file, so a script never waits for an answer.
class ConsolePrompter : public Prompter
{
public:
    explicit ConsolePrompter(QTextStream &out) : m_out(out) {}

    void message(Icon icon, const QString &text) override;
    Answer ask(const QString &text, const QString &caption) override;
    QString chooseFile(const FileRequest &request) override;
    // Nothing prints from a console.
    Answer print(const PrintRequest &request) override;

private:
    void printMessage(const QString &text);

    QTextStream &m_out;
};
