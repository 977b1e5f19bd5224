// Starting the program twice: the second process ends at once, silently, and the first goes on.
// Then the first is told to close, as the monitor program would, and the monitor it started too.

#include "platform/monitor_link.h"
#include "platform_scoped_env_qt.h"
#include "temp_dir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QtTest>

using namespace bv;

class SecondInstanceTest : public QObject {
    Q_OBJECT

private slots:
    void secondStartEndsWithoutAWindow();
};

void SecondInstanceTest::secondStartEndsWithoutAWindow()
{
    bv::test::TempDir home;
    const QString root = QString::fromStdString(home.str());
    const QString runtime = root + "/run";
    QVERIFY(QDir().mkpath(runtime));
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", root);
    env.insert("XDG_CONFIG_HOME", root + "/.config");
    env.insert("XDG_RUNTIME_DIR", runtime);
    env.insert("BV_VIRTUAL_MOUSE", "1");
#ifndef _WIN32
    env.insert("QT_QPA_PLATFORM", "offscreen");
#endif
    // The programs are found as the monitor finds them: by their message windows.
    bv::gui::test::ScopedEnvQt here("XDG_RUNTIME_DIR", runtime.toStdString());
    const auto link = platform::OpenSystemMonitorLink();
    const auto running = [&link](const char* windowClass) { return link->WindowExists(windowClass); };

    // By its full native path, as a user starts it (Wine would keep a path without a drive).
    const QString program = QDir::toNativeSeparators(QFileInfo(BVCONFIG_PATH).absoluteFilePath());
    QProcess first;
    first.setProcessEnvironment(env);
    first.start(program, {});
    QVERIFY(first.waitForStarted());
    // The first instance is up once it listens for the monitor's messages.
    QTRY_VERIFY_WITH_TIMEOUT(running(platform::kConfigWindowClass), 20000);
    QTest::qWait(300);
    QCOMPARE(first.state(), QProcess::Running);

    QProcess second;
    second.setProcessEnvironment(env);
    second.start(program, {});
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(second.readAllStandardOutput(), QByteArray());
    QCOMPARE(second.readAllStandardError(), QByteArray());

    QTest::qWait(200);
    QCOMPARE(first.state(), QProcess::Running);

    QVERIFY(link->Send(platform::kConfigWindowClass, { platform::MSG_CLOSE_CONFIG, 0, 0 }));
    QVERIFY(first.waitForFinished(10000));
    QCOMPARE(first.exitStatus(), QProcess::NormalExit);
    QCOMPARE(first.exitCode(), 0);
    QVERIFY(!running(platform::kConfigWindowClass));

    // The configurator started the monitor beside it; it ends when asked to close.
    QTRY_VERIFY_WITH_TIMEOUT(running(platform::kMonitorWindowClass), 20000);
    QVERIFY(link->Send(platform::kMonitorWindowClass, { platform::MSG_CLOSE_CONFIG, 0, 0 }));
    QTRY_VERIFY_WITH_TIMEOUT(!running(platform::kMonitorWindowClass), 10000);
}

QTEST_MAIN(SecondInstanceTest)
#include "second_instance_test.moc"
