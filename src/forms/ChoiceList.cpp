#include "ChoiceList.h"

#include <QKeyEvent>
#include <QMetaObject>

ChoiceList::ChoiceList(QWidget *parent)
    : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (m_choosing)
            emit chosen(index);
    });
}

void ChoiceList::showPopup()
{
    m_choosing = true;
    QComboBox::showPopup();
}

void ChoiceList::hidePopup()
{
    QComboBox::hidePopup();
    // A choice in the popup is announced right after the popup closes; the choosing
    // ends once that has happened (or the popup was closed without a choice).
    QMetaObject::invokeMethod(this, [this] { m_choosing = false; }, Qt::QueuedConnection);
}

void ChoiceList::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        m_choosing = true;
        QComboBox::keyPressEvent(event);
        m_choosing = false;
        return;
    default:
        QComboBox::keyPressEvent(event);
    }
}

void ChoiceList::wheelEvent(QWheelEvent *event)
{
    m_choosing = true;
    QComboBox::wheelEvent(event);
    m_choosing = false;
}
