#include "CommandTable.h"

#include "platform/CommandIds.h"

#include <QSet>

namespace CommandTable {

namespace {

// A document window's File menu also prints what the window shows.
Menu fileMenu(const char *setupText, bool printing)
{
    Menu menu{"&File",
              {{ID_FILE_NEW, "&New\tCtrl+N"},
               {ID_FILE_OPEN, "&Open...\tCtrl+O"},
               {ID_FILE_CLOSE, "&Close"},
               {0, nullptr},
               {ID_SETUP, setupText},
               {0, nullptr},
               {ID_FILE_MRU_FILE1, "Recent File"},
               {0, nullptr}}};
    if (printing)
        menu.items.append({{ID_FILE_PRINT, "&Print...\tCtrl+P"}, {ID_FILE_PRINT_PREVIEW, "Print Pre&view"}, {0, nullptr}});
    menu.items.append({ID_APP_EXIT, "E&xit"});
    return menu;
}

const Menu kViewMenu{"&View", {{ID_VIEW_TOOLBAR, "&Toolbar"}, {ID_VIEW_STATUS_BAR, "&Status Bar"}}};
const Menu kHelpMenu{"&Help", {{ID_APP_ABOUT, "&About Korva3..."}}};
const Menu kEditMenu{"&Edit",
                     {{ID_EDIT_UNDO, "&Undo\tCtrl+Z"},
                      {0, nullptr},
                      {ID_EDIT_CUT, "Cu&t\tCtrl+X"},
                      {ID_EDIT_COPY, "&Copy\tCtrl+C"},
                      {ID_EDIT_PASTE, "&Paste\tCtrl+V"}}};
const Menu kWindowMenu{"&Window",
                       {{ID_WINDOW_NEW, "&New Window"},
                        {ID_WINDOW_CASCADE, "&Cascade"},
                        {ID_WINDOW_TILE_HORZ, "&Tile"},
                        {ID_WINDOW_ARRANGE, "&Arrange Icons"},
                        {ID_DX_CLUSTER, "D&X Cluster"}}};

const Menu kClusterMenu{"&Cluster",
                        {{ID_CLUSTER_CONNECT, "&Connect"},
                         {ID_CLUSTER_DISCONNECT, "&Disconnect"},
                         {0, nullptr},
                         {ID_CLUSTER_CLEAR, "C&lear Spots"}}};

const Menu kLogbookMenu{"LogBook",
                        {{ID_CLEAR_FORM, "Clear Form\tF3"},
                         {ID_CHANGE_QSO, "Change Qso\tF4"},
                         {ID_LOOKUP_QSOS, "Lookup Qso's\tF6"},
                         {ID_DELETE_QSO, "Delete Qso\tF8"},
                         {ID_ADD_QSO, "Add Qso\tF10"},
                         {ID_ACTUAL_TIME, "Actual Time\tCtrl+A"},
                         {ID_GET_TRX_FREQ, "Get TRX freq\tCtrl+T"},
                         {0, nullptr},
                         {ID_QSO_QSL_CARDS, "Qso && Qsl cards"},
                         {ID_SET_RST, "Set RST to 599/59\tF9"},
                         {0, nullptr},
                         {ID_IMPORT_ADIF, "Import Adif"},
                         {ID_EXPORT_ADIF, "Export Adif"},
                         {0, nullptr},
                         {ID_LOTW_DOWNLOAD, "LoTW download"},
                         {ID_LOTW_UPLOAD, "LoTW upload"},
                         {ID_EQSL_DOWNLOAD, "eQSL download"},
                         {ID_EQSL_UPLOAD, "eQSL upload"},
                         {ID_CLUBLOG_UPLOAD, "Club Log upload"},
                         {ID_UNMATCHED_QSLS, "Unmatched confirmations"},
                         {0, nullptr},
                         {ID_DXCC_REPORT, "DXCC Report\tAlt+Q"},
                         {ID_CQZONE_REPORT, "CQ Zones Report\tAlt+Z"},
                         {ID_REBUILD_DXCC, "Rebuild dxcc stat"}}};

const Menu kQslMenu{"LogBook",
                    {{ID_CLEAR_FORM, "Clear Form\tF3"},
                     {ID_CHANGE_QSO, "Change Qso\tF4"},
                     {ID_LOOKUP_QSOS, "Lookup Qso's\tF6"},
                     {0, nullptr},
                     {ID_QSL_RCVD_YES, "Qslcard rcvd -> Y\tSpace"},
                     {ID_QSL_RCVD_NO, "Qslcard rcvd -> N\tAlt+N"},
                     {0, nullptr},
                     {ID_QSO_QSL_CARDS, "Qso && Qsl cards"},
                     {0, nullptr},
                     {ID_IMPORT_ADIF, "Import Adif"},
                     {ID_EXPORT_ADIF, "Export Adif"},
                     {0, nullptr},
                     {ID_LOTW_DOWNLOAD, "LoTW download"},
                     {ID_LOTW_UPLOAD, "LoTW upload"},
                     {ID_EQSL_DOWNLOAD, "eQSL download"},
                     {ID_EQSL_UPLOAD, "eQSL upload"},
                     {ID_CLUBLOG_UPLOAD, "Club Log upload"},
                     {ID_UNMATCHED_QSLS, "Unmatched confirmations"},
                     {0, nullptr},
                     {ID_REBUILD_DXCC, "Rebuild dxcc stat"}}};

const QList<KeyBinding> kMainKeys{
    {ID_EDIT_COPY, QKeySequence(Qt::CTRL | Qt::Key_C)},
    {ID_EDIT_COPY, QKeySequence(Qt::CTRL | Qt::Key_Insert)},
    {ID_EDIT_CUT, QKeySequence(Qt::SHIFT | Qt::Key_Delete)},
    {ID_EDIT_CUT, QKeySequence(Qt::CTRL | Qt::Key_X)},
    {ID_EDIT_PASTE, QKeySequence(Qt::CTRL | Qt::Key_V)},
    {ID_EDIT_PASTE, QKeySequence(Qt::SHIFT | Qt::Key_Insert)},
    {ID_EDIT_UNDO, QKeySequence(Qt::ALT | Qt::Key_Backspace)},
    {ID_EDIT_UNDO, QKeySequence(Qt::CTRL | Qt::Key_Z)},
    {ID_FILE_NEW, QKeySequence(Qt::CTRL | Qt::Key_N)},
    {ID_FILE_OPEN, QKeySequence(Qt::CTRL | Qt::Key_O)},
    {ID_FILE_PRINT, QKeySequence(Qt::CTRL | Qt::Key_P)},
    {ID_NEXT_PANE, QKeySequence(Qt::Key_F6)},
    {ID_PREV_PANE, QKeySequence(Qt::SHIFT | Qt::Key_F6)},
    {ID_WINDOW_CLOSE, QKeySequence(Qt::CTRL | Qt::Key_F4)},
};

const QList<KeyBinding> kLogbookKeys{
    {ID_SETUP, QKeySequence(Qt::CTRL | Qt::Key_S)},
    {ID_ACTUAL_TIME, QKeySequence(Qt::CTRL | Qt::Key_A)},
    {ID_ADD_QSO, QKeySequence(Qt::Key_F10)},
    {ID_ADD_QSO, QKeySequence(Qt::Key_Return)},
    {ID_ADD_QSO, QKeySequence(Qt::Key_Enter)},
    {ID_CHANGE_QSO, QKeySequence(Qt::Key_F4)},
    {ID_CLEAR_FORM, QKeySequence(Qt::Key_F3)},
    {ID_CQZONE_REPORT, QKeySequence(Qt::ALT | Qt::Key_Z)},
    {ID_LATEST_QSOS, QKeySequence(Qt::CTRL | Qt::Key_F6)},
    {ID_DELETE_QSO, QKeySequence(Qt::Key_F8)},
    {ID_DXCC_REPORT, QKeySequence(Qt::ALT | Qt::Key_Q)},
    {ID_LOOKUP_QSOS, QKeySequence(Qt::Key_F6)},
    {ID_SET_RST, QKeySequence(Qt::Key_F9)},
    {ID_GET_TRX_FREQ, QKeySequence(Qt::CTRL | Qt::Key_T)},
};

const QList<KeyBinding> kQslKeys{
    {ID_CLEAR_FORM, QKeySequence(Qt::Key_F3)},
    {ID_LOOKUP_QSOS, QKeySequence(Qt::Key_F6)},
    {ID_LOOKUP_QSOS, QKeySequence(Qt::Key_Return)},
    {ID_LOOKUP_QSOS, QKeySequence(Qt::Key_Enter)},
    {ID_QSL_RCVD_NO, QKeySequence(Qt::ALT | Qt::Key_N)},
    {ID_QSL_RCVD_YES, QKeySequence(Qt::Key_Space)},
    {ID_CHANGE_QSO, QKeySequence(Qt::Key_F4)},
};

} // namespace

QList<Menu> menus(WindowKind kind)
{
    switch (kind) {
    case WindowKind::None:
        return {fileMenu("Setup\tAlt+S", false), kViewMenu, kHelpMenu};
    case WindowKind::Logbook:
        return {fileMenu("Setup\tCtrl+S", true), kEditMenu, kViewMenu, kLogbookMenu, kWindowMenu, kHelpMenu};
    case WindowKind::Qsl:
        return {fileMenu("Setup\tAlt+S", true), kEditMenu, kViewMenu, kQslMenu, kWindowMenu, kHelpMenu};
    case WindowKind::Cluster:
        return {fileMenu("Setup\tAlt+S", false), kEditMenu, kViewMenu, kClusterMenu, kWindowMenu, kHelpMenu};
    }
    return {};
}

QList<KeyBinding> keys(WindowKind kind)
{
    const QList<KeyBinding> &own = kind == WindowKind::Logbook ? kLogbookKeys
                                 : kind == WindowKind::Qsl     ? kQslKeys
                                                               : QList<KeyBinding>();
    QSet<QKeySequence> taken;
    for (const KeyBinding &binding : own)
        taken.insert(binding.key);
    QList<KeyBinding> out = own;
    for (const KeyBinding &binding : kMainKeys) {
        if (!taken.contains(binding.key))
            out.append(binding);
    }
    return out;
}

QList<int> allCommands()
{
    QList<int> ids;
    QSet<int> seen;
    const auto add = [&](int id) {
        if (id != 0 && !seen.contains(id)) {
            seen.insert(id);
            ids.append(id);
        }
    };
    for (WindowKind kind : {WindowKind::None, WindowKind::Logbook, WindowKind::Qsl, WindowKind::Cluster}) {
        for (const Menu &menu : menus(kind)) {
            for (const MenuItem &item : menu.items)
                add(item.id);
        }
        for (const KeyBinding &binding : keys(kind))
            add(binding.id);
    }
    return ids;
}

} // namespace CommandTable
