#include "CImportTargetDlg.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

CImportTargetDlg::CImportTargetDlg(const QString &adifPath, const QStringList &logbooks, QWidget *parent)
    : QDialog(parent)
    , m_question(new QLabel(QStringLiteral("Import %1 into which logbook?").arg(QFileInfo(adifPath).fileName())))
    , m_list(new QListWidget)
{
    setWindowTitle(QStringLiteral("Import Adif"));
    for (const QString &logbook : logbooks) {
        auto *item = new QListWidgetItem(QDir::toNativeSeparators(logbook), m_list);
        item->setData(Qt::UserRole, logbook);
    }
    new QListWidgetItem(QStringLiteral("New logbook..."), m_list);
    m_list->setCurrentRow(0);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemActivated, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_question);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(520, 260);
}

QString CImportTargetDlg::chosenLogbook() const
{
    const QListWidgetItem *item = m_list->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}
