#include "devicelink/DLSerial.h"

#include "DebugLog.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

uint32_t SerialTick()
{
    using namespace std::chrono;
    static const steady_clock::time_point start = steady_clock::now();
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now() - start).count());
}

namespace {
std::mutex g_portPathsLock;
std::vector<std::string> g_portPaths;

bool BaudConstant(int baud, speed_t& out)
{
    switch (baud) {
    case 1200: out = B1200; return true;
    case 2400: out = B2400; return true;
    case 4800: out = B4800; return true;
    case 9600: out = B9600; return true;
    case 19200: out = B19200; return true;
    case 38400: out = B38400; return true;
    case 57600: out = B57600; return true;
    case 115200: out = B115200; return true;
    default: return false;
    }
}
}  // namespace

void SetPortPaths(const std::vector<std::string>& paths)
{
    std::lock_guard<std::mutex> lock(g_portPathsLock);
    g_portPaths = paths;
}

std::string PortPath(int number)
{
    std::lock_guard<std::mutex> lock(g_portPathsLock);
    if (number < 1 || number > static_cast<int>(g_portPaths.size())) return {};
    return g_portPaths[number - 1];
}

CDLSerial::CDLSerial()
{
    std::memset(m_Ring, 0, sizeof m_Ring);
    std::memset(&m_Tx.slot, 0, sizeof m_Tx.slot);
    std::memset(&m_Rx.slot, 0, sizeof m_Rx.slot);
    std::memset(&m_LastSent, 0, sizeof m_LastSent);
}

CDLSerial::~CDLSerial()
{
    Close();
    // A thread that outlived its stop still uses this object: wait for it.
    m_Running = 0;
    ++m_Generation;
    if (m_Thread.joinable()) m_Thread.join();
    if (m_Straggler.joinable()) m_Straggler.join();
}

int CDLSerial::Open(int port, int baud)
{
    if (m_Open) return 1;
    if (port == 0 || baud == 0) return 0;
    DebugLine("startserial port : %d, baudrate : %d", port, baud);
    std::string path = PortPath(port);
    if (path.empty()) return 0;
    if (!OpenDevice(path, baud)) return 0;
    m_PortNumber = port;
    return 1;
}

int CDLSerial::Open(const std::string& devicePath, int baud)
{
    if (m_Open) return 1;
    if (devicePath.empty() || baud == 0) return 0;
    if (!OpenDevice(devicePath, baud)) return 0;
    m_PortNumber = 0;
    return 1;
}

int CDLSerial::OpenDevice(const std::string& path, int baud)
{
    speed_t speed;
    if (!BaudConstant(baud, speed)) return 0;
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return 0;

    termios tio;
    if (tcgetattr(fd, &tio) != 0) {
        ::close(fd);
        return 0;
    }
    // Raw bytes in and out; the line settings of the instrument; flow control
    // (IXON/IXOFF/CRTSCTS) stays as the driver had it.
    tio.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | INPCK);
    tio.c_oflag &= ~OPOST;
    tio.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB);
    tio.c_cflag |= CS8 | CREAD | CLOCAL;
    tio.c_cc[VMIN] = 0;  // reads never wait
    tio.c_cc[VTIME] = 0;
    if (cfsetispeed(&tio, speed) != 0 || cfsetospeed(&tio, speed) != 0 || tcsetattr(fd, TCSANOW, &tio) != 0) {
        ::close(fd);
        return 0;
    }
    tcflush(fd, TCIOFLUSH);

    {
        std::lock_guard<std::mutex> lock(m_Lock);
        m_Tx.head = m_Tx.tail = 0;
        m_Rx.head = m_Rx.tail = 0;
    }
    // Bytes of a frame left over from an earlier connection are not joined to new ones.
    m_ScanStart = static_cast<uint32_t>(m_RingWrite);
    m_Fd = fd;
    m_DevicePath = path;
    m_Gone = false;
    m_GoneReported = false;
    m_Open = 1;
    if (StartReadThread() != 1) {
        m_Open = 0;
        CloseHandle();
        return 0;
    }
    return 1;
}

void CDLSerial::CloseHandle()
{
    if (m_Fd >= 0) ::close(m_Fd);
    m_Fd = -1;
    m_DevicePath.clear();
}

void CDLSerial::Close()
{
    if (!m_Open) return;
    StopReadThread();
    // Under the port lock: a thread given up on by the stop last took it
    // after its last use of the handle.
    std::lock_guard<std::mutex> lock(m_Lock);
    CloseHandle();
    m_Open = 0;
    m_Tx.head = m_Tx.tail = 0;
    m_Rx.head = m_Rx.tail = 0;
}

int CDLSerial::IsOpen() { return m_Open.load(); }

int CDLSerial::ReadPort(void* buffer, int maximum)
{
    if (!m_Open || m_Fd < 0 || maximum <= 0 || m_Gone) return 0;
    ssize_t n = ::read(m_Fd, buffer, static_cast<size_t>(maximum));
    if (n > 0) return static_cast<int>(n);
    if (n < 0) {
        if (errno == EIO || errno == ENXIO || errno == ENODEV) m_Gone = true;
        return 0;
    }
    // With VMIN = VTIME = 0 an empty read is normal; a hung-up line (the
    // adapter was pulled out) also reads empty, but polls as hung up.
    pollfd pfd{m_Fd, POLLIN, 0};
    if (::poll(&pfd, 1, 0) > 0 && (pfd.revents & (POLLHUP | POLLERR | POLLNVAL))) m_Gone = true;
    return 0;
}

int CDLSerial::WritePort(const void* bytes, int length)
{
    if (!m_Open || m_Fd < 0) return 0;
    if (length <= 0) return 0;
    // Allowed time: 2 ms per byte, as the instrument's line runs slowly.
    const auto* p = static_cast<const unsigned char*>(bytes);
    const uint32_t start = SerialTick();
    const uint32_t allowed = 2u * static_cast<uint32_t>(length) + 10;
    int done = 0;
    while (done < length) {
        ssize_t n = ::write(m_Fd, p + done, static_cast<size_t>(length - done));
        if (n > 0) {
            done += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) return -1;
        uint32_t spent = SerialTick() - start;
        if (spent >= allowed) break;
        pollfd pfd{m_Fd, POLLOUT, 0};
        ::poll(&pfd, 1, static_cast<int>(allowed - spent));
    }
    return done;
}

int CDLSerial::Send(const void* bytes, int length) { return PushTxQueue(bytes, length); }

int CDLSerial::Push(Queue& q, const void* bytes, int length)
{
    if (!m_Open) return -1;
    if (length < 0 || length > kPacketData || (length > 0 && !bytes)) return 0;
    std::lock_guard<std::mutex> lock(m_Lock);
    uint16_t next = static_cast<uint16_t>((q.head + 1) % kQueueSlots);
    if (next == q.tail) return 0;  // full: the newest entry is dropped
    SerialPacket& s = q.slot[q.head];
    if (length > 0) std::memcpy(s.data, bytes, static_cast<size_t>(length));
    s.tick = SerialTick();
    s.length = length;
    q.head = next;
    return 1;
}

int CDLSerial::PushTxQueue(const void* bytes, int length) { return Push(m_Tx, bytes, length); }
int CDLSerial::PushRxQueue(const void* bytes, int length) { return Push(m_Rx, bytes, length); }

int CDLSerial::PopTxQueue(unsigned char* out)
{
    if (!m_Open) return -1;
    std::lock_guard<std::mutex> lock(m_Lock);
    if (m_Tx.head == m_Tx.tail) return 0;
    const SerialPacket& s = m_Tx.slot[m_Tx.tail];
    m_LastSent.length = s.length;
    std::memcpy(m_LastSent.data, s.data, static_cast<size_t>(s.length));
    m_LastSent.tick = SerialTick();
    m_SentAny = true;
    std::memcpy(out, s.data, static_cast<size_t>(s.length));
    m_Tx.tail = static_cast<uint16_t>((m_Tx.tail + 1) % kQueueSlots);
    return s.length;
}

int CDLSerial::PopRxQueue(unsigned char* out)
{
    if (!m_Open) return -1;
    std::lock_guard<std::mutex> lock(m_Lock);
    if (m_Rx.head == m_Rx.tail) return 0;
    const SerialPacket& s = m_Rx.slot[m_Rx.tail];
    int length = 0;
    // A frame cut before the latest command went out answers an older one.
    if (!m_SentAny || TickNotBefore(s.tick, m_LastSent.tick)) {
        length = s.length;
        std::memcpy(out, s.data, static_cast<size_t>(length));
    }
    m_Rx.tail = static_cast<uint16_t>((m_Rx.tail + 1) % kQueueSlots);
    return length;
}

void CDLSerial::FrameReceivedBytes()
{
    unsigned char in[kReadChunk];
    int n = ReadPort(in, kReadChunk);
    if (n <= 0) return;
    if (n > kReadChunk) n = kReadChunk;
    for (int i = 0; i < n; ++i) {
        m_Ring[m_RingWrite] = in[i];
        m_RingWrite = (m_RingWrite + 1) % kRingSize;
    }
    const uint32_t write = static_cast<uint32_t>(m_RingWrite);
    if (m_ScanStart == write) return;

    unsigned char frame[kMaxFrame];
    int len = 0;  // 0: no frame begun
    for (uint32_t pos = m_ScanStart; pos != write; pos = (pos + 1) % kRingSize) {
        unsigned char c = m_Ring[pos];
        if (c == '$') {
            frame[0] = c;
            len = 1;
            m_ScanStart = pos;
        } else if (len == 0) {
            // Skipped: never looked at again, so noise cannot pile up in the ring.
            m_ScanStart = (pos + 1) % kRingSize;
        } else if (len < kMaxFrame) {
            frame[len++] = c;
            if (c == '\n') {
                PushRxQueue(frame, len);
                m_ScanStart = (pos + 1) % kRingSize;
                len = 0;
            }
        } else {
            // Too long: dropped with everything up to the next '$'.
            m_ScanStart = (pos + 1) % kRingSize;
            len = 0;
        }
    }
}

int CDLSerial::ReadCycle()
{
    unsigned char buf[kPacketData];
    int n = PopTxQueue(buf);
    if (n >= 1) WritePort(buf, n);
    FrameReceivedBytes();
    n = PopRxQueue(buf);
    if (n > 0) {
        if (RecvHandler h = m_RecvHandler.load()) {
            h(this, buf, n);
            return n;
        }
    }
    // Frames read before the device went away are delivered first.
    if (m_Gone && !m_GoneReported && n <= 0) {
        m_GoneReported = true;
        DebugLine("port gone: %s", m_DevicePath.c_str());
        if (GoneHandler g = m_GoneHandler.load()) g(this);
    }
    return 0;
}

int CDLSerial::StartReadThread()
{
    if (m_Running) return 1;
    // A thread stopped earlier that is still finishing is joined first.
    if (m_Thread.joinable()) {
        if (m_Straggler.joinable()) m_Straggler.join();
        m_Straggler = std::move(m_Thread);
    }
    uint32_t gen = ++m_Generation;
    {
        std::lock_guard<std::mutex> lock(m_EndLock);
        m_EndSignalled = false;
    }
    m_Running = 1;
    try {
        m_Thread = std::thread(&CDLSerial::ReadThreadProc, this, gen);
    } catch (...) {
        m_Running = 0;
        std::lock_guard<std::mutex> lock(m_EndLock);
        m_EndSignalled = true;
        return -1;
    }
    return 1;
}

void CDLSerial::ReadThreadProc(uint32_t generation)
{
    auto mine = [&] { return m_Running.load() && m_Generation.load() == generation; };
    while (mine()) {
        ReadCycle();
        if (!mine()) break;
        if (m_Open) std::this_thread::sleep_for(std::chrono::milliseconds(kPollIntervalMs));
    }
    // A retired thread touches nothing that belongs to its successor.
    if (m_Generation.load() != generation) return;
    m_Running = 0;
    m_RecvHandler = nullptr;
    std::lock_guard<std::mutex> lock(m_EndLock);
    m_EndSignalled = true;
    m_EndCond.notify_all();
}

void CDLSerial::StopReadThread()
{
    m_Running = 0;
    if (!m_Thread.joinable()) return;
    bool ended;
    {
        std::unique_lock<std::mutex> lock(m_EndLock);
        ended = m_EndCond.wait_for(lock, std::chrono::milliseconds(1000), [this] { return m_EndSignalled; });
    }
    if (ended) {
        m_Thread.join();
        return;
    }
    // The thread is stuck (in the receive handler): it is retired and never
    // runs another cycle, whatever happens to the port after this.
    DebugLine("read thread did not end within 1000 ms");
    ++m_Generation;
    m_RecvHandler = nullptr;
    if (m_Straggler.joinable()) m_Straggler.join();
    m_Straggler = std::move(m_Thread);
}

CDLSerial& GetSerial()
{
    // Destroyed at process end: the read thread is stopped and the port closed.
    static CDLSerial port;
    return port;
}
