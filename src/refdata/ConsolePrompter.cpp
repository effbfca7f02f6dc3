#include "ConsolePrompter.h"

#include <QTextStream>

void ConsolePrompter::message(Icon, const QString &text)
{
    printFirstLine(text);
}

Prompter::Answer ConsolePrompter::ask(const QString &text, const QString &)
{
    printFirstLine(text);
    return Answer::Cancel;
}

QString ConsolePrompter::chooseFile(const FileRequest &)
{
    return QString();
}

void ConsolePrompter::printFirstLine(const QString &text)
{
    m_out << text.section(QLatin1Char('\n'), 0, 0) << '\n';
    m_out.flush();
}
