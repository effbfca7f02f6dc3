#pragma once

#include <QList>
#include <QStringList>
#include <QWidget>

class QLabel;
class QMdiArea;
class QPushButton;
class QVBoxLayout;

// What the empty workspace shows while no window is open in it: buttons for a new
// logbook, an existing one and an ADIF import, and the logbooks used lately (one no
// longer found stays listed, greyed and marked missing). It lies over the MDI area's
// viewport, hides when a window opens there and shows again when the last one closes.
class StartPanel : public QWidget
{
    Q_OBJECT

public:
    explicit StartPanel(QMdiArea *area);

    // The logbooks used lately, most recent first; whether each still exists is looked
    // at again whenever the panel shows.
    void setRecentFiles(const QStringList &files);

    QPushButton *newButton() const { return m_newButton; }
    QPushButton *openButton() const { return m_openButton; }
    QPushButton *importButton() const { return m_importButton; }
    QList<QPushButton *> recentButtons() const { return m_recentButtons; }

signals:
    void newChosen();
    void openChosen();
    void importChosen();
    // The index in the list given to setRecentFiles.
    void recentChosen(int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void follow();
    void followSoon();

    QMdiArea *m_area;
    // The area's viewport, kept: while the area is being destroyed its children still
    // send events, and the area can no longer be asked for it.
    QWidget *m_viewport;
    QPushButton *m_newButton;
    QPushButton *m_openButton;
    QPushButton *m_importButton;
    QLabel *m_recentHeading;
    QVBoxLayout *m_recentColumn;
    QList<QPushButton *> m_recentButtons;
    QStringList m_recentFiles;
};
