#pragma once

#include "store/StationProfile.h"

#include <QList>
#include <QWidget>

class QComboBox;
class QFormLayout;
class QLineEdit;
class QPushButton;

// Setup's page of station profiles: a list of the profiles by name (the name edited in
// place), New and Delete, and the fields of the profile shown. The profile shown when
// Setup is left with OK is the active one. The grid field is the one the caller gives,
// which Setup also keeps as the own locator.
class StationProfilePage : public QWidget
{
    Q_OBJECT

public:
    StationProfilePage(QLineEdit *gridEdit, QWidget *parent = nullptr);

    // The profiles and the active one; an empty list leaves the page without profiles
    // (a program database that has none).
    void load(const QList<StationProfile> &profiles, qint32 activeId);
    bool hasProfiles() const { return !m_profiles.isEmpty(); }
    // The profiles as edited, the shown one's fields taken from the page.
    QList<StationProfile> profiles();
    int activeIndex() const { return m_shown; }

    QComboBox *profileList() const { return m_list; }
    QLineEdit *fieldEdit(const QByteArray &adifName) const;

private:
    void enableProfiles(bool enabled);
    void show(int index);
    void keepShown();
    void addProfile();
    void deleteProfile();

    QList<StationProfile> m_profiles;
    int m_shown = -1;
    QComboBox *m_list = nullptr;
    QPushButton *m_newButton = nullptr;
    QPushButton *m_deleteButton = nullptr;
    QList<QLineEdit *> m_edits; // in the order of StationProfile::fields()
};
