#include "app/CAboutDlg.h"
#include "app/CMainFrame.h"
#include "common/TestDir.h"
#include "platform/AppSettings.h"
#include "platform/CommandIds.h"
#include "platform/ScriptedPrompter.h"

#include <QAction>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QToolBar>
#include <QtTest>

#include <memory>

namespace {

const QSize kButtonSize(16, 15);

int paintedPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y).alpha() > 0)
                ++count;
        }
    }
    return count;
}

QImage projectDrawing(const QString &name, const QSize &size)
{
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(name)).pixmap(size).toImage();
}

} // namespace

// What the program shows of itself: the toolbar's drawings and the version in the About box.
class TestAppearance : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void toolbarButtonsShowTheProjectsDrawings_data();
    void toolbarButtonsShowTheProjectsDrawings();
    void everyButtonHasADrawingOfItsOwn();
    void programIconDrawsAtMenuAndPanelSizes_data();
    void programIconDrawsAtMenuAndPanelSizes();
    void aboutBoxShowsTheProgramVersionBesideItsText();

private:
    std::unique_ptr<TestDir> m_dir;
    ScriptedPrompter m_prompter;
    std::unique_ptr<CMainFrame> m_frame;
};

void TestAppearance::initTestCase()
{
    m_dir = std::make_unique<TestDir>();
    QVERIFY(m_dir->isValid());
    AppSettings::useFolder(m_dir->path());
    Prompter::install(&m_prompter);
    CMainFrame::s_startupPauseMs = 0;
    m_frame = std::make_unique<CMainFrame>();
}

void TestAppearance::cleanupTestCase()
{
    m_frame.reset();
    Prompter::install(nullptr);
    AppSettings::useFolder(QString());
    m_dir.reset();
}

void TestAppearance::toolbarButtonsShowTheProjectsDrawings_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("drawing");
    QTest::newRow("New") << int(ID_FILE_NEW) << "new";
    QTest::newRow("Open") << int(ID_FILE_OPEN) << "open";
    QTest::newRow("Cut") << int(ID_EDIT_CUT) << "cut";
    QTest::newRow("Copy") << int(ID_EDIT_COPY) << "copy";
    QTest::newRow("Paste") << int(ID_EDIT_PASTE) << "paste";
    QTest::newRow("Print") << int(ID_FILE_PRINT) << "print";
    QTest::newRow("About") << int(ID_APP_ABOUT) << "about";
}

void TestAppearance::toolbarButtonsShowTheProjectsDrawings()
{
    QFETCH(int, id);
    QFETCH(QString, drawing);
    const QAction *button = nullptr;
    for (const QAction *action : m_frame->toolBar()->actions()) {
        if (action->data().toInt() == id)
            button = action;
    }
    QVERIFY(button);
    const QImage shown = button->icon().pixmap(kButtonSize).toImage();
    QVERIFY(!shown.isNull());
    // Drawn, not a blank: at least an eighth of the button is painted.
    QVERIFY2(paintedPixels(shown) >= kButtonSize.width() * kButtonSize.height() / 8,
             qPrintable(QString::number(paintedPixels(shown))));
    QCOMPARE(shown, projectDrawing(drawing, kButtonSize));
}

void TestAppearance::everyButtonHasADrawingOfItsOwn()
{
    QList<int> order;
    QList<QImage> images;
    for (const QAction *action : m_frame->toolBar()->actions()) {
        order.append(action->isSeparator() ? 0 : action->data().toInt());
        if (!action->isSeparator())
            images.append(action->icon().pixmap(kButtonSize).toImage());
    }
    QCOMPARE(order, QList<int>({ID_FILE_NEW, ID_FILE_OPEN, 0, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, 0,
                                ID_FILE_PRINT, ID_APP_ABOUT}));
    for (int i = 0; i < images.size(); ++i) {
        for (int j = i + 1; j < images.size(); ++j)
            QVERIFY2(images.at(i) != images.at(j), qPrintable(QStringLiteral("buttons %1 and %2").arg(i).arg(j)));
    }
}

void TestAppearance::programIconDrawsAtMenuAndPanelSizes_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("16") << 16;
    QTest::newRow("24") << 24;
    QTest::newRow("48") << 48;
    QTest::newRow("256") << 256;
}

// The scalable icon fills its square at every size, with its corners left clear.
void TestAppearance::programIconDrawsAtMenuAndPanelSizes()
{
    QFETCH(int, size);
    const QImage image = projectDrawing(QStringLiteral("korva3"), QSize(size, size));
    QCOMPARE(image.size(), QSize(size, size));
    QCOMPARE(image.pixelColor(size / 2, size / 2).alpha(), 255);
    QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
    QVERIFY(paintedPixels(image) >= size * size * 3 / 4);
}

void TestAppearance::aboutBoxShowsTheProgramVersionBesideItsText()
{
    CAboutDlg about;
    const auto *text = about.findChild<QLabel *>(QStringLiteral("version1038"));
    const auto *program = about.findChild<QLabel *>(QStringLiteral("programVersion"));
    QVERIFY(text && program);
    QVERIFY(text->text().startsWith(QStringLiteral("Korva - Logbook for the radio amateur Version " KORVA3_PROJECT_VERSION "\n")));
    QCOMPARE(program->text(), QStringLiteral("Program version " KORVA3_PROJECT_VERSION));
}

QTEST_MAIN(TestAppearance)
#include "tst_appearance.moc"
