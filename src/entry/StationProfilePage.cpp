#include "StationProfilePage.h"

#include "forms/FormControls.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

StationProfilePage::StationProfilePage(QLineEdit *gridEdit, QWidget *parent)
    : QWidget(parent)
    , m_list(new QComboBox(this))
    , m_newButton(new QPushButton(QStringLiteral("New"), this))
    , m_deleteButton(new QPushButton(QStringLiteral("Delete"), this))
{
    m_list->setEditable(true);
    m_list->setInsertPolicy(QComboBox::NoInsert);
    auto *form = new QFormLayout(this);
    auto *choice = new QHBoxLayout;
    choice->addWidget(m_list, 1);
    choice->addWidget(m_newButton);
    choice->addWidget(m_deleteButton);
    form->addRow(QStringLiteral("Station profile"), choice);
    for (const StationProfile::Field &field : StationProfile::fields()) {
        QLineEdit *edit = QByteArray(field.adifName) == "MY_GRIDSQUARE"
                              ? gridEdit
                              : FormControls::makeEdit(this, field.limit, FormControls::AnyText);
        m_edits.append(edit);
        form->addRow(QLatin1String(field.label), edit);
    }
    connect(m_list, QOverload<int>::of(&QComboBox::activated), this, [this](int index) { show(index); });
    // The name typed names the profile shown.
    connect(m_list->lineEdit(), &QLineEdit::textEdited, this, [this](const QString &name) {
        if (m_shown >= 0) {
            m_profiles[m_shown].name = name;
            m_list->setItemText(m_shown, name);
        }
    });
    connect(m_newButton, &QPushButton::clicked, this, [this] { addProfile(); });
    connect(m_deleteButton, &QPushButton::clicked, this, [this] { deleteProfile(); });
    enableProfiles(false);
}

// Without profiles the grid field alone is there, as the own locator.
void StationProfilePage::enableProfiles(bool enabled)
{
    for (QWidget *control : {static_cast<QWidget *>(m_list), static_cast<QWidget *>(m_newButton)})
        control->setEnabled(enabled);
    m_deleteButton->setEnabled(enabled && m_profiles.size() > 1);
    for (QLineEdit *edit : std::as_const(m_edits)) {
        if (edit != fieldEdit("MY_GRIDSQUARE"))
            edit->setEnabled(enabled);
    }
}

void StationProfilePage::load(const QList<StationProfile> &profiles, qint32 activeId)
{
    m_profiles = profiles;
    m_list->clear();
    for (const StationProfile &profile : profiles)
        m_list->addItem(profile.name);
    int active = 0;
    for (int i = 0; i < profiles.size(); ++i) {
        if (profiles.at(i).id == activeId)
            active = i;
    }
    m_shown = -1;
    enableProfiles(!profiles.isEmpty());
    if (!profiles.isEmpty())
        show(active);
}

QList<StationProfile> StationProfilePage::profiles()
{
    keepShown();
    return m_profiles;
}

QLineEdit *StationProfilePage::fieldEdit(const QByteArray &adifName) const
{
    const QList<StationProfile::Field> &fields = StationProfile::fields();
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (adifName == fields.at(i).adifName)
            return m_edits.at(i);
    }
    return nullptr;
}

void StationProfilePage::keepShown()
{
    if (m_shown < 0)
        return;
    for (qsizetype i = 0; i < m_edits.size(); ++i)
        m_profiles[m_shown].values[i] = m_edits.at(i)->text().trimmed();
}

void StationProfilePage::show(int index)
{
    keepShown();
    m_shown = index;
    m_list->setCurrentIndex(index);
    for (qsizetype i = 0; i < m_edits.size(); ++i)
        FormControls::setText(m_edits.at(i), m_profiles.at(index).values.at(i));
    m_deleteButton->setEnabled(m_profiles.size() > 1);
}

void StationProfilePage::addProfile()
{
    keepShown();
    StationProfile profile;
    profile.name = QStringLiteral("Profile %1").arg(m_profiles.size() + 1);
    m_profiles.append(profile);
    m_list->addItem(profile.name);
    m_shown = -1;
    show(static_cast<int>(m_profiles.size() - 1));
}

// The last profile stays: a QSO always has a station.
void StationProfilePage::deleteProfile()
{
    if (m_shown < 0 || m_profiles.size() < 2)
        return;
    const int removed = m_shown;
    m_profiles.removeAt(removed);
    m_list->removeItem(removed);
    m_shown = -1;
    show(std::min(removed, static_cast<int>(m_profiles.size() - 1)));
}
