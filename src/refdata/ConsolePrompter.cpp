#include "ConsolePrompter.h"

#include <QTextStream>

void ConsolePrompter::message(Icon, const QString &text)
{
    printMessage(text);
}

Prompter::Answer ConsolePrompter::ask(const QString &text, const QString &)
{
    printMessage(text);
    return Answer::Cancel;
}

QString ConsolePrompter::chooseFile(const FileRequest &)
{
    return QString();
}

Prompter::Answer ConsolePrompter::print(const PrintRequest &)
{
    return Answer::Cancel;
}

void ConsolePrompter::printMessage(const QString &text)
{
    m_out << text << '\n';
    m_out.flush();
}
