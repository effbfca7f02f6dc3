#include "CRefDataAboutDlg.h"

#include "RefDataIcon.h"
#include "platform/ProgramVersion.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CRefDataAboutDlg::CRefDataAboutDlg(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About Korva3RefData"));

    auto *icon = new QLabel(this);
    icon->setPixmap(RefDataIcon::icon().pixmap(32, 32));
    auto *version = new QLabel(QStringLiteral("Korva3RefData, Version %1").arg(QLatin1String(ProgramVersion::kText)), this);
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto *row = new QHBoxLayout;
    row->addWidget(icon);
    row->addWidget(version, 1);
    row->addWidget(ok, 0, Qt::AlignTop);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
