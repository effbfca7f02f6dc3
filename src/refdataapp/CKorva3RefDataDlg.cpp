#include "CKorva3RefDataDlg.h"

#include "CRefDataAboutDlg.h"
#include "RefDataIcon.h"
#include "refdata/BasicTablesScript.h"
#include "refdata/CtyConversion.h"
#include "refdata/QslMgrConversion.h"
#include "refdata/RefDataTexts.h"

#include <QAction>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CKorva3RefDataDlg::CKorva3RefDataDlg(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral(" "));
    setWindowIcon(RefDataIcon::icon());
    buildLayout();
    addAboutItem(QStringLiteral("&About Korva3RefData..."));
}

void CKorva3RefDataDlg::buildLayout()
{
    auto *layout = new QVBoxLayout(this);
    auto *heading = new QLabel(QStringLiteral("Create a sql files for the korva.sqlite3 database"), this);
    heading->setAlignment(Qt::AlignCenter);
    layout->addWidget(heading);

    auto *grid = new QGridLayout;
    connect(addConversionRow(grid, 0, QStringLiteral("Read cty.csv"),
                             QLatin1String(RefDataTexts::kCtyDownload)),
            &QPushButton::clicked, this, &CKorva3RefDataDlg::OnReadCtyCsv);
    connect(addConversionRow(grid, 1, QStringLiteral("create basic tables"),
                             QStringLiteral("Create the tables in korva3.sqlite database")),
            &QPushButton::clicked, this, &CKorva3RefDataDlg::OnCreateBasicTables);
    connect(addConversionRow(grid, 2, QStringLiteral("Read qslmgr.txt"),
                             QLatin1String(RefDataTexts::kQslMgrDownload)),
            &QPushButton::clicked, this, &CKorva3RefDataDlg::OnReadQslMgr);
    layout->addLayout(grid);

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QPushButton *CKorva3RefDataDlg::addConversionRow(QGridLayout *grid, int row, const QString &buttonText,
                                                 const QString &note)
{
    auto *button = new QPushButton(buttonText, this);
    button->setAutoDefault(false);
    grid->addWidget(button, row, 0);
    grid->addWidget(new QLabel(note, this), row, 1);
    return button;
}

// The item is left out when its text is empty, as a missing menu string would be.
void CKorva3RefDataDlg::addAboutItem(const QString &text)
{
    if (text.isEmpty())
        return;
    auto *separator = new QAction(this);
    separator->setSeparator(true);
    addAction(separator);
    auto *about = new QAction(text, this);
    connect(about, &QAction::triggered, this, &CKorva3RefDataDlg::OnAbout);
    addAction(about);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

void CKorva3RefDataDlg::OnReadCtyCsv()
{
    CtyConversion::run().report();
}

void CKorva3RefDataDlg::OnCreateBasicTables()
{
    BasicTablesScript::run().report();
}

void CKorva3RefDataDlg::OnReadQslMgr()
{
    QslMgrConversion::run().report();
}

void CKorva3RefDataDlg::OnAbout()
{
    CRefDataAboutDlg about(this);
    about.exec();
}
