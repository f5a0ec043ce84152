#include "devicelink/PortDiscovery.h"

#include "DebugLog.h"
#include "devicelink/DLSerial.h"

#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <libudev.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// Built-in UARTs are listed for every possible port; only those with a chip
// behind them are real.
bool RealUart(const char* node)
{
    int fd = ::open(node, O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    serial_struct ss{};
    bool real = ioctl(fd, TIOCGSERIAL, &ss) == 0 && ss.type != PORT_UNKNOWN;
    ::close(fd);
    return real;
}

bool UdevPorts(std::vector<std::string>& out)
{
    udev* u = udev_new();
    if (!u) return false;
    udev_enumerate* en = udev_enumerate_new(u);
    if (!en) {
        udev_unref(u);
        return false;
    }
    udev_enumerate_add_match_subsystem(en, "tty");
    udev_enumerate_scan_devices(en);
    udev_list_entry* entry;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(en))
    {
        udev_device* dev = udev_device_new_from_syspath(u, udev_list_entry_get_name(entry));
        if (!dev) continue;
        const char* node = udev_device_get_devnode(dev);
        udev_device* parent = udev_device_get_parent(dev);  // virtual ttys have none
        if (node && parent) {
            const char* driver = udev_device_get_driver(parent);
            if (!driver || std::strcmp(driver, "serial8250") != 0 || RealUart(node)) out.emplace_back(node);
        }
        udev_device_unref(dev);
    }
    udev_enumerate_unref(en);
    udev_unref(u);
    return true;
}

void DevScan(std::vector<std::string>& out)
{
    static const char* const kPrefixes[] = {"ttyUSB", "ttyACM", "ttyAMA", "ttyS", "rfcomm"};
    std::vector<std::string> found;
    if (DIR* d = opendir("/dev")) {
        while (dirent* e = readdir(d)) {
            for (const char* p : kPrefixes) {
                if (std::strncmp(e->d_name, p, std::strlen(p)) != 0) continue;
                std::string node = std::string("/dev/") + e->d_name;
                if (std::strcmp(p, "ttyS") != 0 || RealUart(node.c_str())) found.push_back(node);
                break;
            }
        }
        closedir(d);
    }
    std::sort(found.begin(), found.end());
    out.insert(out.end(), found.begin(), found.end());
}

}  // namespace

CPortDiscovery::CPortDiscovery(QObject* parent) : QObject(parent) { }

CPortDiscovery::~CPortDiscovery()
{
    delete m_Notifier;
    if (m_Monitor) udev_monitor_unref(m_Monitor);
    if (m_Udev) udev_unref(m_Udev);
}

std::vector<std::string> CPortDiscovery::EnumerateComPorts()
{
    std::vector<std::string> ports;
    if (const char* env = std::getenv("ZOLT7_PORTS")) {
        const char* p = env;
        while (*p) {
            const char* end = std::strchr(p, ':');
            size_t n = end ? static_cast<size_t>(end - p) : std::strlen(p);
            if (n > 0) ports.emplace_back(p, n);
            p += n;
            if (*p == ':') ++p;
        }
    }
    if (!UdevPorts(ports)) DevScan(ports);
    return ports;
}

std::vector<std::string> CPortDiscovery::SerialSearch()
{
    DebugLine("serialsearch");
    std::vector<std::string> ports = EnumerateComPorts();
    SetPortPaths(ports);
    m_PortNumber = 0;
    return ports;
}

int CPortDiscovery::OnCbnSelchangeComboSerial(int selectedIndex)
{
    DebugLine("OnCbnSelchangeComboSerial ");
    m_PortNumber = selectedIndex >= 0 ? selectedIndex + 1 : 0;
    return m_PortNumber;
}

void CPortDiscovery::UpdateDevice(bool arrival, const QString& devNode)
{
    DebugLine("UpdateDevice");
    DebugLine("szDevId : %s", devNode.toLocal8Bit().constData());
    if (!arrival) {
        // Any port: the instrument may be behind an adapter that was renamed.
        DebugLine("DBT_DEVICEREMOVE");
        emit portRemoved();
        return;
    }
    DebugLine("DBT_DEVICEARRIVAL");
    udev* u = udev_new();
    if (!u) {
        int err = errno;
        DebugLine("INVALID_HANDLE_VALUE");
        emit searchFailed(QStringLiteral("SetupDiGetClassDevs(): ") +
                          QString::fromLocal8Bit(std::strerror(err)));
        return;
    }
    udev_unref(u);
    emit portArrived();
}

void CPortDiscovery::StartMonitor()
{
    if (m_Notifier) return;
    m_Udev = udev_new();
    if (!m_Udev) return;
    m_Monitor = udev_monitor_new_from_netlink(m_Udev, "udev");
    if (!m_Monitor || udev_monitor_filter_add_match_subsystem_devtype(m_Monitor, "tty", nullptr) < 0 ||
        udev_monitor_enable_receiving(m_Monitor) < 0) {
        DebugLine("udev monitor unavailable");
        if (m_Monitor) udev_monitor_unref(m_Monitor);
        m_Monitor = nullptr;
        return;
    }
    m_Notifier = new QSocketNotifier(udev_monitor_get_fd(m_Monitor), QSocketNotifier::Read, this);
    connect(m_Notifier, &QSocketNotifier::activated, this, [this] { OnMonitorReadable(); });
}

void CPortDiscovery::OnMonitorReadable()
{
    udev_device* dev = udev_monitor_receive_device(m_Monitor);
    if (!dev) return;
    const char* action = udev_device_get_action(dev);
    const char* node = udev_device_get_devnode(dev);
    const char* devpath = udev_device_get_devpath(dev);
    // Consoles and pseudo-terminals are not ports.
    bool port = node && devpath && std::strncmp(devpath, "/devices/virtual/", 17) != 0;
    QString name = QString::fromLocal8Bit(node ? node : "");
    bool add = action && std::strcmp(action, "add") == 0;
    bool remove = action && std::strcmp(action, "remove") == 0;
    udev_device_unref(dev);
    if (port && (add || remove)) UpdateDevice(add, name);
}
