// The runner of background work: a job told to stop still hands its result over, and a job
// cancelled, left or outlived by its task never reaches it again, however late it returns,
// while the window thread never waits on it beyond the time it gave.

#include "app/BackgroundTask.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QList>
#include <QThread>
#include <QtTest>

#include <future>
#include <memory>

using namespace std::chrono_literals;

class BackgroundTaskTest : public QObject {
    Q_OBJECT

private slots:
    void aJobGivenUpNeverReachesItsTask_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QList<int>>("handed");   // the results handed over
        QTest::addColumn<QList<int>>("progress"); // the progress reported
        QTest::newRow("stopped: its result still comes") << "stop" << QList{1} << QList{100};
        QTest::newRow("cancelled: the next job's result alone")
            << "cancel" << QList{2} << QList<int>{};
        QTest::newRow("left after a wait") << "leave" << QList{2} << QList<int>{};
        QTest::newRow("its task destroyed") << "destroy" << QList<int>{} << QList<int>{};
    }
    void aJobGivenUpNeverReachesItsTask()
    {
        QFETCH(QString, how);
        QFETCH(QList<int>, handed);
        QFETCH(QList<int>, progress);

        auto task = std::make_unique<BackgroundTask>();
        QList<int> seenHanded, seenProgress;
        connect(task.get(), &BackgroundTask::progressed,
                [&seenProgress](int percent) { seenProgress << percent; });
        // Results count only when they come on the window thread.
        const auto hand = [&seenHanded](int result) {
            seenHanded << (QThread::currentThread() == QCoreApplication::instance()->thread()
                               ? result
                               : -result);
        };
        auto gate = std::make_shared<std::promise<void>>();
        auto keptGoing = std::make_shared<std::promise<bool>>();
        QVERIFY(task->start(
            [opened = gate->get_future().share(), keptGoing](const auto &report,
                                                             const auto &keepGoing) {
                opened.wait();
                report(100);
                keptGoing->set_value(keepGoing());
                return 1;
            },
            hand));
        QVERIFY(task->running());

        QElapsedTimer clock;
        clock.start();
        if (how == "stop")
            task->stop();
        else if (how == "cancel")
            task->cancel();
        else if (how == "leave")
            task->leave(100ms);
        else
            task.reset();
        QVERIFY(clock.elapsed() < 1500);

        if (how == "stop") {
            QVERIFY(task->running());
            QVERIFY(!task->start([](const auto &, const auto &) { return 2; }, hand));
        } else if (task) {
            QVERIFY(!task->running());
            QVERIFY(task->start([](const auto &, const auto &) { return 2; }, hand));
            QTRY_COMPARE(seenHanded, QList{2});
        }
        gate->set_value();
        auto ended = keptGoing->get_future();
        QVERIFY(ended.wait_for(5s) == std::future_status::ready);
        QVERIFY(!ended.get());
        if (task) QTRY_VERIFY(!task->running());
        QTest::qWait(100); // anything the first job posted has come by now
        QCOMPARE(seenHanded, handed);
        QCOMPARE(seenProgress, progress);
    }
};

QTEST_GUILESS_MAIN(BackgroundTaskTest)
#include "test_background_task.moc"
