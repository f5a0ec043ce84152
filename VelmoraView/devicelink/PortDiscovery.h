// The port list of the main window, and plug / unplug of serial devices.
#pragma once

#include <QObject>
#include <QString>
#include <string>
#include <vector>

class QComboBox;
class QSocketNotifier;
struct udev;
struct udev_monitor;

class CPortDiscovery : public QObject {
    Q_OBJECT
public:
    explicit CPortDiscovery(QObject* parent = nullptr);
    ~CPortDiscovery() override;

    // Device paths: every path of ZOLT7_PORTS (colon-separated) first, then
    // the serial ports udev lists (or /dev holds, where udev is absent).
    std::vector<std::string> EnumerateComPorts();
    // Fills the list, selects its first entry, sets m_PortNumber to 0 and makes
    // the entries the port numbers that CDLSerial::Open(int, int) takes.
    void SerialSearch(QComboBox* list);
    // m_PortNumber = 1-based position of the selected entry (0: none).
    int OnCbnSelchangeComboSerial(QComboBox* list);
    int m_PortNumber = 0;

    // A port was added (arrival) or removed. Removal of any port: portRemoved();
    // arrival: a new search of the last list, then portArrived().
    void UpdateDevice(bool arrival, const QString& devNode);
    // Watches udev for serial ports coming and going (window thread).
    void StartMonitor();
    bool Monitoring() const { return m_Notifier != nullptr; }

signals:
    void portRemoved();   // the main window goes to its disconnected state
    void portArrived();   // after a new SerialSearch

private:
    void OnMonitorReadable();
    QComboBox* m_List = nullptr;  // the list of the last search
    udev* m_Udev = nullptr;
    udev_monitor* m_Monitor = nullptr;
    QSocketNotifier* m_Notifier = nullptr;
};
