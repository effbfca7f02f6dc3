#include "ScriptedPrompter.h"

#include <QStringList>

void ScriptedPrompter::message(Icon icon, const QString &text)
{
    m_shown.append({Shown::Kind::Message, icon, text, {}, {}});
}

Prompter::Answer ScriptedPrompter::ask(const QString &text, const QString &caption)
{
    m_shown.append({Shown::Kind::Question, Icon::None, text, caption, {}});
    return m_answers.isEmpty() ? Answer::Cancel : m_answers.dequeue();
}

QString ScriptedPrompter::chooseFile(const FileRequest &request)
{
    m_shown.append({Shown::Kind::File, Icon::None, request.title, {}, request});
    return m_files.isEmpty() ? QString() : m_files.dequeue();
}

QStringList ScriptedPrompter::texts() const
{
    QStringList out;
    for (const Shown &item : m_shown) {
        if (item.kind != Shown::Kind::File)
            out.append(item.text);
    }
    return out;
}

void ScriptedPrompter::clear()
{
    m_shown.clear();
    m_answers.clear();
    m_files.clear();
}
