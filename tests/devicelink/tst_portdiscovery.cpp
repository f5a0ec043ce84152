// The port list: configured paths first, entry numbers that open the right
// device, and the reaction to ports coming and going.
#include "devicelink/DLSerial.h"
#include "devicelink/PortDiscovery.h"

#include "PtyPair.h"

#include <QSignalSpy>
#include <QtTest>

class TestPortDiscovery : public QObject {
    Q_OBJECT
private slots:
    void cleanup()
    {
        qunsetenv("ZOLT7_PORTS");
        GetSerial().Close();
    }

    void configuredPortsComeFirstAndNumberTheEntries()
    {
        PtyPair a, b;
        QVERIFY(a.ok() && b.ok());
        qputenv("ZOLT7_PORTS", QByteArray::fromStdString(":" + a.path + "::" + b.path + ":"));
        CPortDiscovery d;
        std::vector<std::string> ports = d.EnumerateComPorts();
        QVERIFY(ports.size() >= 2);
        QCOMPARE(ports[0], a.path);
        QCOMPARE(ports[1], b.path);
        for (size_t i = 2; i < ports.size(); ++i)
            QVERIFY2(ports[i].rfind("/dev/pts/", 0) != 0, ports[i].c_str());

        d.m_PortNumber = 7;
        QCOMPARE(d.SerialSearch(), ports);
        QCOMPARE(d.m_PortNumber, 0);  // taken from the list only when connecting

        QCOMPARE(d.OnCbnSelchangeComboSerial(0), 1);
        QCOMPARE(d.OnCbnSelchangeComboSerial(1), 2);
        QCOMPARE(GetSerial().Open(d.m_PortNumber, 4800), 1);
        QCOMPARE(GetSerial().DevicePath(), b.path);
        GetSerial().Close();

        QCOMPARE(d.OnCbnSelchangeComboSerial(-1), 0);
        QCOMPARE(GetSerial().Open(d.m_PortNumber, 4800), 0);
    }

    void removalAndArrival()
    {
        PtyPair a, b;
        qputenv("ZOLT7_PORTS", QByteArray::fromStdString(a.path));
        CPortDiscovery d;
        const size_t before = d.SerialSearch().size();
        QSignalSpy removed(&d, &CPortDiscovery::portRemoved);
        QSignalSpy arrived(&d, &CPortDiscovery::portArrived);

        // Any port going away disconnects; the owner searches again.
        d.UpdateDevice(false, "/dev/ttyUSB9");
        QCOMPARE(removed.count(), 1);
        QCOMPARE(arrived.count(), 0);

        qputenv("ZOLT7_PORTS", QByteArray::fromStdString(b.path + ":" + a.path));
        d.UpdateDevice(true, "/dev/ttyACM0");
        QCOMPARE(arrived.count(), 1);
        QCOMPARE(removed.count(), 1);
        const std::vector<std::string> after = d.SerialSearch();
        QCOMPARE(after.size(), before + 1);
        QCOMPARE(after[0], b.path);
    }
};

QTEST_MAIN(TestPortDiscovery)
#include "tst_portdiscovery.moc"
