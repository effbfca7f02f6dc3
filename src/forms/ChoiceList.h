#pragma once

#include <QComboBox>

// A drop-down list with an edit field that tells a choice from the list apart from text
// typed into the field: only the arrow keys, the mouse wheel and the popup choose, and
// only they emit `chosen`. Qt's own list also "activates" the entry a typed text names
// when the field is left, which an operator never meant as a choice.
class ChoiceList : public QComboBox
{
    Q_OBJECT

public:
    explicit ChoiceList(QWidget *parent = nullptr);

    void showPopup() override;
    void hidePopup() override;

signals:
    void chosen(int index);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    bool m_choosing = false;
};
