#include "platform/CommandRouter.h"
#include "platform/CommandTarget.h"

#include <QtTest>

namespace {

// A target that handles a fixed set of commands and records what it ran.
class Target : public CommandTarget
{
public:
    Target(QList<int> handled, QList<int> disabled = {})
        : m_handled(std::move(handled))
        , m_disabled(std::move(disabled))
    {
    }
    bool handlesCommand(int id) const override { return m_handled.contains(id); }
    bool commandEnabled(int id) const override { return !m_disabled.contains(id); }
    bool commandChecked(int id) const override { return id == 7; }
    void onCommand(int id) override { ran.append(id); }

    QList<int> ran;

private:
    QList<int> m_handled;
    QList<int> m_disabled;
};

} // namespace

class TestCommandRouter : public QObject
{
    Q_OBJECT

private slots:
    void theFirstTargetThatHandlesACommandRunsIt();
    void aDisabledHandlerStopsTheCommandThere();
};

void TestCommandRouter::theFirstTargetThatHandlesACommandRunsIt()
{
    Target view({1, 2}), document({2, 3}), frame({3, 4, 7});
    const CommandRouter router({&view, &document, nullptr, &frame});
    QVERIFY(router.execute(2));
    QVERIFY(router.execute(3));
    QVERIFY(router.execute(4));
    QVERIFY(!router.execute(5)); // nobody handles it
    QCOMPARE(view.ran, QList<int>({2}));
    QCOMPARE(document.ran, QList<int>({3}));
    QCOMPARE(frame.ran, QList<int>({4}));
    QCOMPARE(router.handler(1), &view);
    QVERIFY(!router.isEnabled(5));
    QVERIFY(router.isChecked(7));
    QVERIFY(!router.isChecked(4));
}

void TestCommandRouter::aDisabledHandlerStopsTheCommandThere()
{
    // The view handles 1 but has it disabled: the document behind it does not get it.
    Target view({1}, {1}), document({1});
    const CommandRouter router({&view, &document});
    QVERIFY(!router.isEnabled(1));
    QVERIFY(!router.execute(1));
    QVERIFY(view.ran.isEmpty());
    QVERIFY(document.ran.isEmpty());
}

QTEST_GUILESS_MAIN(TestCommandRouter)
#include "tst_commandrouter.moc"
