#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

// The menus and key tables of the kinds of main-window state: no document window (128),
// a logbook window (130), a QSL window (131), the DX Cluster window (132).
namespace CommandTable {

enum class WindowKind { None = 128, Logbook = 130, Qsl = 131, Cluster = 132 };

// One entry of a drop-down menu: a command with its exact text, or a separator (id 0).
struct MenuItem
{
    int id;
    const char *text;
};

struct Menu
{
    const char *title;
    QList<MenuItem> items;
};

struct KeyBinding
{
    int id;
    QKeySequence key;
};

QList<Menu> menus(WindowKind kind);

// Main-frame keys (active in every window) followed by those of the window kind; where
// both bind a key, the window kind's binding wins.
QList<KeyBinding> keys(WindowKind kind);

// Every command that has a menu entry or a key, each once.
QList<int> allCommands();

} // namespace CommandTable
