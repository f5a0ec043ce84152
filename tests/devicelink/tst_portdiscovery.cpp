// The port list: configured paths first, entry numbers that open the right
// device, and the reaction to ports coming and going.
#include "devicelink/DLSerial.h"
#include "devicelink/PortDiscovery.h"

#include "PtyPair.h"

#include <QComboBox>
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

        QComboBox list;
        list.setEnabled(false);
        d.m_PortNumber = 7;
        d.SerialSearch(&list);
        QVERIFY(list.isEnabled());
        QCOMPARE(list.count(), int(ports.size()));
        QCOMPARE(list.currentText(), QString::fromStdString(a.path));
        QCOMPARE(d.m_PortNumber, 0);  // taken from the list only when connecting

        QCOMPARE(d.OnCbnSelchangeComboSerial(&list), 1);
        list.setCurrentIndex(1);
        QCOMPARE(d.OnCbnSelchangeComboSerial(&list), 2);
        QCOMPARE(GetSerial().Open(d.m_PortNumber, 4800), 1);
        QCOMPARE(GetSerial().DevicePath(), b.path);
        GetSerial().Close();

        list.setCurrentIndex(-1);
        QCOMPARE(d.OnCbnSelchangeComboSerial(&list), 0);
        QCOMPARE(GetSerial().Open(d.m_PortNumber, 4800), 0);
    }

    void removalAndArrival()
    {
        PtyPair a, b;
        qputenv("ZOLT7_PORTS", QByteArray::fromStdString(a.path));
        CPortDiscovery d;
        QComboBox list;
        d.SerialSearch(&list);
        int before = list.count();
        QSignalSpy removed(&d, &CPortDiscovery::portRemoved);
        QSignalSpy arrived(&d, &CPortDiscovery::portArrived);

        // Any port going away disconnects; the list is rebuilt by the
        // disconnected state, not here.
        d.UpdateDevice(false, "/dev/ttyUSB9");
        QCOMPARE(removed.count(), 1);
        QCOMPARE(arrived.count(), 0);
        QCOMPARE(list.count(), before);

        qputenv("ZOLT7_PORTS", QByteArray::fromStdString(b.path + ":" + a.path));
        list.setCurrentIndex(1);
        d.m_PortNumber = 2;
        d.UpdateDevice(true, "/dev/ttyACM0");
        QCOMPARE(arrived.count(), 1);
        QCOMPARE(removed.count(), 1);
        QCOMPARE(list.count(), before + 1);
        QCOMPARE(list.currentIndex(), 0);
        QCOMPARE(list.itemText(0), QString::fromStdString(b.path));
        QCOMPARE(d.m_PortNumber, 0);
    }
};

QTEST_MAIN(TestPortDiscovery)
#include "tst_portdiscovery.moc"
