// The computer name the answer file is named after.
#include "app/platform/posix/netbios_name.h"

#include <QProcess>
#include <QTest>
#include <unistd.h>

class ComputerNameTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void hostNameBecomesNetBiosName_data();
    void hostNameBecomesNetBiosName();
    void localNameComesFromHostName_data();
    void localNameComesFromHostName();
};

void ComputerNameTest::hostNameBecomesNetBiosName_data()
{
    QTest::addColumn<QByteArray>("hostName");
    QTest::addColumn<QByteArray>("computerName");

    QTest::newRow("lower case") << QByteArray("lab-pc07") << QByteArray("LAB-PC07");
    QTest::newRow("upper case and digits kept") << QByteArray("PC05") << QByteArray("PC05");
    QTest::newRow("first label only") << QByteArray("pc05.school.example") << QByteArray("PC05");
    QTest::newRow("exactly 15") << QByteArray("abcdefghijklmno") << QByteArray("ABCDEFGHIJKLMNO");
    QTest::newRow("longer than 15") << QByteArray("abcdefghijklmnopqrstu") << QByteArray("ABCDEFGHIJKLMNO");
    QTest::newRow("long label before a dot")
        << QByteArray("abcdefghijklmnopq.example") << QByteArray("ABCDEFGHIJKLMNO");
    QTest::newRow("dot within 15") << QByteArray("abc.defghijklmnopqrst") << QByteArray("ABC");
    QTest::newRow("leading dot") << QByteArray(".example") << QByteArray();
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("non-ASCII bytes untouched") << QByteArray("\xC3\xA9t\xC3\xA9") << QByteArray("\xC3\xA9T\xC3\xA9");
}

void ComputerNameTest::hostNameBecomesNetBiosName()
{
    QFETCH(QByteArray, hostName);
    QFETCH(QByteArray, computerName);

    QCOMPARE(QByteArray::fromStdString(mirunea::netBiosNameFromHostName(hostName.toStdString())), computerName);
}

void ComputerNameTest::localNameComesFromHostName_data()
{
    QTest::addColumn<QString>("hostName");
    QTest::addColumn<QByteArray>("computerName");

    QTest::newRow("fully qualified") << "lab-pc-07.school.example" << QByteArray("LAB-PC-07");
    QTest::newRow("longest host label") << QString(63, QLatin1Char('a')) << QByteArray(15, 'A');
}

// Sets the host name in a private UTS namespace and asks a process there.
void ComputerNameTest::localNameComesFromHostName()
{
    QFETCH(QString, hostName);
    QFETCH(QByteArray, computerName);

    const QStringList namespaceOption = geteuid() == 0 ? QStringList{"-u"} : QStringList{"-r", "-u"};
    QProcess probe;
    probe.start("unshare",
                namespaceOption
                    + QStringList{"sh", "-c", R"(hostname "$1" && exec "$2" computer-name)", "sh", hostName,
                                  QStringLiteral(MIRUNEA_WRITE_PROBE)});
    if (!probe.waitForStarted())
        QSKIP(qPrintable("unshare cannot be started: " + probe.errorString()));
    QVERIFY2(probe.waitForFinished(10000), "the probe did not finish");
    const QByteArray output = probe.readAllStandardOutput();
    if (output.isEmpty())
        QSKIP(qPrintable("cannot set a host name in a private UTS namespace here: "
                         + QString::fromLocal8Bit(probe.readAllStandardError())));
    QCOMPARE(output, computerName + '\n');
}

QTEST_GUILESS_MAIN(ComputerNameTest)
#include "tst_computer_name.moc"
