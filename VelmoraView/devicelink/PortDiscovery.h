// The ports there are, and plug / unplug of serial devices. Shows no window:
// the main window fills its list and tells the user.
#pragma once

#include <QObject>
#include <QString>
#include <string>
#include <vector>

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
    // The port list: sets m_PortNumber to 0 and makes the entries the port
    // numbers that CDLSerial::Open(int, int) takes; the first is the default.
    std::vector<std::string> SerialSearch();
    // m_PortNumber = 1-based position of the selected entry (-1: none, 0).
    int OnCbnSelchangeComboSerial(int selectedIndex);
    int m_PortNumber = 0;

    // A port was added (arrival) or removed. Removal of any port: portRemoved();
    // arrival: portArrived() (the owner searches again), or searchFailed()
    // with the text to show when the device list cannot be read.
    void UpdateDevice(bool arrival, const QString& devNode);
    // Watches udev for serial ports coming and going (window thread).
    void StartMonitor();
    bool Monitoring() const { return m_Notifier != nullptr; }

signals:
    void portRemoved();  // the main window goes to its disconnected state
    void portArrived();  // search again
    void searchFailed(const QString& text);

private:
    void OnMonitorReadable();
    udev* m_Udev = nullptr;
    udev_monitor* m_Monitor = nullptr;
    QSocketNotifier* m_Notifier = nullptr;
};
