#include "common/TestDir.h"

#include "platform/ScriptedPrompter.h"
#include "refdataapp/CKorva3RefDataDlg.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {

const QString kCtyMissing = QStringLiteral("cty.csv niet gevonden\nDownload cty.csv from https://www.country-files.com/");
const QString kQslDownload =
    QStringLiteral("Download the QSL manager list (call;manager;) from https://www.ik3qar.it/manager/");

template <typename Widget>
QStringList texts(const QWidget &parent)
{
    QStringList out;
    for (const Widget *widget : parent.findChildren<Widget *>()) {
        if (!widget->text().isEmpty())
            out.append(widget->text());
    }
    return out;
}

void click(QWidget &parent, const QString &text)
{
    for (QPushButton *button : parent.findChildren<QPushButton *>()) {
        if (button->text() == text)
            return button->click();
    }
    QFAIL(qPrintable("no button " + text));
}

} // namespace

// The dialog driven offscreen in a temporary directory; every box goes to a ScriptedPrompter.
class DialogTest : public QObject
{
    Q_OBJECT

private slots:
    void showsItsTexts();
    void buttonsConvertAndReport();
    void aboutItemOpensTheAboutBox();
};

void DialogTest::showsItsTexts()
{
    CKorva3RefDataDlg dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral(" "));
    QCOMPARE(texts<QLabel>(dialog),
             (QStringList{"Create a sql files for the korva.sqlite3 database",
                          "Download cty.csv from https://www.country-files.com/",
                          "Create the tables in korva3.sqlite database", kQslDownload}));
    QCOMPARE(texts<QPushButton>(dialog),
             (QStringList{"Read cty.csv", "create basic tables", "Read qslmgr.txt", "OK"}));
}

void DialogTest::buttonsConvertAndReport()
{
    TestDir dir;
    QVERIFY(dir.isValid());
    ScriptedPrompter prompter;
    Prompter::install(&prompter);
    CKorva3RefDataDlg dialog;

    click(dialog, "Read cty.csv");
    click(dialog, "Read qslmgr.txt");
    QVERIFY(TestDir::writeFile("cty.csv", "QX,Sample,999,EU,14,27,52.50,-4.25,-1.0,QX;\n"));
    QVERIFY(TestDir::writeFile("qslmgr.txt", "QX1AA;QX2BB;x\n"));
    click(dialog, "Read cty.csv");
    click(dialog, "create basic tables");
    click(dialog, "Read qslmgr.txt");
    Prompter::install(nullptr);

    QCOMPARE(prompter.texts(), (QStringList{kCtyMissing, "qslmgr.txt niet gevonden\n" + kQslDownload,
                                            "Ready", "Ready", "Ready"}));
    QList<Prompter::Icon> icons;
    for (const ScriptedPrompter::Shown &box : prompter.shown())
        icons.append(box.icon);
    using I = Prompter::Icon;
    QCOMPARE(icons, (QList<I>{I::None, I::None, I::Information, I::Information, I::Information}));
    QCOMPARE(TestDir::readFile("cty.sql").count("\r\n"), 7);
    QCOMPARE(TestDir::readFile("korva3.sql").size(), 1555);
    QCOMPARE(TestDir::readFile("qslmgr.sql").count("\r\n"), 4);
}

void DialogTest::aboutItemOpensTheAboutBox()
{
    CKorva3RefDataDlg dialog;
    QCOMPARE(dialog.contextMenuPolicy(), Qt::ActionsContextMenu);
    const QList<QAction *> actions = dialog.actions();
    QCOMPARE(actions.size(), 2);
    QVERIFY(actions.at(0)->isSeparator());
    QCOMPARE(actions.at(1)->text(), QStringLiteral("&About Korva3RefData..."));

    QString title;
    QStringList labels;
    QTimer::singleShot(0, this, [&] {
        if (auto *box = dialog.findChild<QDialog *>()) {
            title = box->windowTitle();
            labels = texts<QLabel>(*box);
            click(*box, "OK");
        }
    });
    actions.at(1)->trigger();
    QCOMPARE(title, QStringLiteral("About Korva3RefData"));
    QCOMPARE(labels, QStringList{"Korva3RefData, Version " KORVA3_PROJECT_VERSION});
}

QTEST_MAIN(DialogTest)
#include "tst_refdata_dialog.moc"
