#include "StartPanel.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QPushButton *commandButton(const QString &text, const QString &hint, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setToolTip(hint);
    button->setMinimumWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("M")) * 18);
    return button;
}

} // namespace

StartPanel::StartPanel(QMdiArea *area)
    : QWidget(area)
    , m_area(area)
    , m_viewport(area->viewport())
{
    setObjectName(QStringLiteral("startPanel"));
    m_newButton = commandButton(QStringLiteral("&New logbook"), QStringLiteral("Make a new logbook file"), this);
    m_openButton = commandButton(QStringLiteral("&Open logbook"), QStringLiteral("Open a logbook file"), this);
    m_importButton = commandButton(QStringLiteral("&Import ADIF file"),
                                   QStringLiteral("Import the QSOs of an ADIF file into a logbook"), this);
    connect(m_newButton, &QPushButton::clicked, this, &StartPanel::newChosen);
    connect(m_openButton, &QPushButton::clicked, this, &StartPanel::openChosen);
    connect(m_importButton, &QPushButton::clicked, this, &StartPanel::importChosen);

    // A card in the window's colour, centred in the workspace whatever its size.
    auto *card = new QFrame(this);
    card->setFrameShape(QFrame::StyledPanel);
    card->setAutoFillBackground(true);
    card->setBackgroundRole(QPalette::Window);
    auto *column = new QVBoxLayout(card);
    auto *heading = new QLabel(QStringLiteral("Start with a logbook"), card);
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.25);
    heading->setFont(headingFont);
    column->addWidget(heading);
    for (QPushButton *button : {m_newButton, m_openButton, m_importButton})
        column->addWidget(button);
    m_recentHeading = new QLabel(QStringLiteral("Logbooks used lately"), card);
    m_recentColumn = new QVBoxLayout;
    m_recentColumn->addSpacing(fontMetrics().height() / 2);
    m_recentColumn->addWidget(m_recentHeading);
    column->addLayout(m_recentColumn);

    auto *middle = new QVBoxLayout;
    middle->addStretch(1);
    middle->addWidget(card);
    middle->addStretch(1);
    auto *outer = new QHBoxLayout(this);
    outer->addStretch(1);
    outer->addLayout(middle);
    outer->addStretch(1);

    setRecentFiles({});
    m_area->installEventFilter(this);
    m_area->viewport()->installEventFilter(this);
    connect(m_area, &QMdiArea::subWindowActivated, this, &StartPanel::followSoon);
    follow();
}

void StartPanel::setRecentFiles(const QStringList &files)
{
    m_recentFiles = files;
    qDeleteAll(m_recentButtons);
    m_recentButtons.clear();
    for (int i = 0; i < files.size(); ++i) {
        const QString shown = QDir::toNativeSeparators(files.at(i));
        const bool missing = !QFileInfo::exists(files.at(i));
        auto *button = new QPushButton(missing ? QStringLiteral("&%1 %2 (missing)").arg(i + 1).arg(shown)
                                               : QStringLiteral("&%1 %2").arg(i + 1).arg(shown),
                                       m_recentHeading->parentWidget());
        button->setFlat(true);
        button->setStyleSheet(QStringLiteral("text-align: left"));
        button->setEnabled(!missing);
        connect(button, &QPushButton::clicked, this, [this, i] { emit recentChosen(i); });
        m_recentColumn->addWidget(button);
        m_recentButtons.append(button);
    }
    m_recentHeading->setVisible(!files.isEmpty());
    // The Tab order runs top to bottom.
    QWidget *previous = m_importButton;
    for (QPushButton *button : std::as_const(m_recentButtons)) {
        setTabOrder(previous, button);
        previous = button;
    }
}

bool StartPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_area && event->type() == QEvent::Resize)
        setGeometry(m_area->viewport()->geometry());
    if (watched == m_viewport
        && (event->type() == QEvent::ChildAdded || event->type() == QEvent::ChildRemoved))
        followSoon();
    return QWidget::eventFilter(watched, event);
}

// A window being added or removed is not yet, or still, in the area's list.
void StartPanel::followSoon()
{
    QTimer::singleShot(0, this, &StartPanel::follow);
}

void StartPanel::follow()
{
    // A window that was closed stays listed, hidden, until it is deleted.
    const QList<QMdiSubWindow *> windows = m_area->subWindowList();
    const bool empty =
        std::none_of(windows.cbegin(), windows.cend(), [](const QMdiSubWindow *window) { return !window->isHidden(); });
    setGeometry(m_area->viewport()->geometry());
    if (empty == !isHidden())
        return;
    setVisible(empty);
    if (empty) {
        setRecentFiles(m_recentFiles);
        raise();
        // The keyboard starts on the first button when nothing else has the focus.
        if (!m_area->window()->focusWidget() || !m_area->window()->focusWidget()->isVisible())
            m_newButton->setFocus(Qt::OtherFocusReason);
    }
}
