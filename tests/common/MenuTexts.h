#pragma once

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStringList>

// The visible entries of the menu bar's menu `title`: "-" for a separator, and with
// `markChecked` a "[x]" before each checked entry.
inline QStringList menuTexts(const QMainWindow *window, const QString &title, bool markChecked = false)
{
    for (const QAction *action : window->menuBar()->actions()) {
        if (action->text() != title)
            continue;
        QStringList texts;
        for (const QAction *item : action->menu()->actions()) {
            if (!item->isVisible())
                continue;
            const QString mark = markChecked && item->isChecked() ? QStringLiteral("[x]") : QString();
            texts.append(item->isSeparator() ? QStringLiteral("-") : mark + item->text());
        }
        return texts;
    }
    return {};
}
