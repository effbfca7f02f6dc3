#include "CAboutDlg.h"

#include "platform/ProgramVersion.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

namespace {

QPixmap badge(int width, int height, const QString &text)
{
    QPixmap pixmap(width, height);
    pixmap.fill(QColor(0, 0, 175));
    QPainter painter(&pixmap);
    painter.setPen(Qt::white);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, text);
    return pixmap;
}

} // namespace

QString CAboutDlg::versionText()
{
    return QStringLiteral("Korva - Logbook for the radio amateur Version %1").arg(QLatin1String(ProgramVersion::kText))
         + QStringLiteral("\nCopyright (C) the Korva3 developers. All rights reserved.");
}

CAboutDlg::CAboutDlg(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About Korva3"));
    auto *layout = new QGridLayout(this);

    auto *large = new QLabel;
    large->setPixmap(badge(96, 120, QStringLiteral("Korva3")));
    layout->addWidget(large, 0, 0, 5, 1);

    auto *small = new QLabel;
    small->setPixmap(badge(32, 32, QStringLiteral("K3")));
    small->setAlignment(Qt::AlignCenter);
    layout->addWidget(small, 0, 1);

    auto *version = new QLabel(versionText());
    version->setObjectName(QStringLiteral("version1038"));
    layout->addWidget(version, 0, 2);

    layout->addWidget(new QLabel(QStringLiteral("Written by the Korva3 team\nfor radio amateurs\neverywhere")), 1, 2);
    // No address of the program's own: its manual comes with it.
    layout->addWidget(new QLabel(QStringLiteral("Manual:")), 2, 1);
    auto *contact = new QLabel(QStringLiteral("man Korva3"));
    contact->setObjectName(QStringLiteral("contact1002"));
    layout->addWidget(contact, 2, 2);
    auto *program = new QLabel(QStringLiteral("Program version %1").arg(QLatin1String(ProgramVersion::kText)));
    program->setObjectName(QStringLiteral("programVersion"));
    layout->addWidget(program, 3, 1, 1, 2);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons, 4, 1, 1, 2);
}
