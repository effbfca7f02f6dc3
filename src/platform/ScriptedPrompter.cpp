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

Prompter::Answer ScriptedPrompter::print(const PrintRequest &request)
{
    const bool preview = request.kind == PrintRequest::Kind::Preview;
    m_shown.append({preview ? Shown::Kind::PrintPreview : Shown::Kind::Print, Icon::None, request.title, {}, {}});
    if (m_printers.isEmpty() || !request.printer || !request.paint)
        return Answer::Cancel;
    m_printers.dequeue()(request.printer);
    request.paint(request.printer);
    return Answer::Ok;
}

QStringList ScriptedPrompter::texts() const
{
    QStringList out;
    for (const Shown &item : m_shown) {
        if (item.kind == Shown::Kind::Message || item.kind == Shown::Kind::Question)
            out.append(item.text);
    }
    return out;
}

void ScriptedPrompter::clear()
{
    m_shown.clear();
    m_answers.clear();
    m_files.clear();
    m_printers.clear();
}
