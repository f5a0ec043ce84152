// The serial link to the instrument: one port, one read thread that writes
// queued commands and reads, frames and delivers the instrument's lines.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class DeviceLink;

// One queue slot.
struct SerialPacket {
    int32_t length;  // bytes used in data
    uint32_t tick;   // SerialTick() when the slot was filled
    unsigned char data[2048];
};

// 32-bit millisecond tick, counted from the first call in the process.
uint32_t SerialTick();
// True when tick `a` is not earlier than `b`; correct across the 32-bit wrap
// as long as the two are less than about 24 days apart.
inline bool TickNotBefore(uint32_t a, uint32_t b) { return static_cast<int32_t>(a - b) >= 0; }

// Port entries: entry number n (1-based) names the n-th path of the list that
// the last port search built. Thread-safe.
void SetPortPaths(const std::vector<std::string>& paths);
std::string PortPath(int number);  // "" when there is no such entry

class CDLSerial {
public:
    using RecvHandler = void (*)(CDLSerial* port, const unsigned char* frame, int length);
    using GoneHandler = void (*)(CDLSerial* port);

    static constexpr int kRingSize = 0x14000;  // 81,920
    static constexpr int kQueueSlots = 32;
    static constexpr int kPacketData = 2048;
    static constexpr int kMaxFrame = 257;  // '$' and line feed included
    static constexpr int kReadChunk = 256;

    CDLSerial();
    virtual ~CDLSerial();
    CDLSerial(const CDLSerial&) = delete;
    CDLSerial& operator=(const CDLSerial&) = delete;

    // 1 on success (also when already open, changing nothing), 0 on failure.
    // `port` is an entry number (see PortPath).
    virtual int Open(int port, int baud);
    int Open(const std::string& devicePath, int baud);
    virtual void Close();
    // Bytes read (never waits); 0 when none, on failure or when closed. A
    // read error that means the device went away (EIO, ENXIO, ENODEV, a
    // hang-up) marks the port gone: it is not read again.
    virtual int ReadPort(void* buffer, int maximum);
    // Bytes written; -1 when the write fails; 0 when closed.
    virtual int WritePort(const void* bytes, int length);
    virtual int Send(const void* bytes, int length);
    // 1 (also when already running), -1 when the thread cannot be created.
    virtual int StartReadThread();
    // Returns when the thread has ended, or after 1,000 ms at most.
    virtual void StopReadThread();
    virtual int IsOpen();
    // Push: 1; 0 when the slot cannot be used (queue full, length outside
    // 0..2048: the entry is dropped); -1 when the port is not open.
    virtual int PushTxQueue(const void* bytes, int length);
    // Pop: length copied to `out` (room for kPacketData bytes), 0 when empty
    // (or, for the receive queue, when the frame is stale), -1 when closed.
    virtual int PopTxQueue(unsigned char* out);
    virtual int PushRxQueue(const void* bytes, int length);
    virtual int PopRxQueue(unsigned char* out);

    // Reads what is waiting and queues every complete frame.
    void FrameReceivedBytes();
    // One cycle of the read thread: writes at most one queued command and
    // delivers at most one frame; the first cycle that finds the port gone
    // calls the gone handler. Returns the length of the frame delivered.
    int ReadCycle();
    bool Gone() const { return m_Gone.load(); }

    bool ReadThreadRunning() const { return m_Running.load() != 0; }
    int PortNumber() const { return m_PortNumber; }
    const std::string& DevicePath() const { return m_DevicePath; }
    int Handle() const { return m_Fd; }  // the open device, -1 when none

    // Called on the read thread for each frame; cleared when the thread ends.
    std::atomic<RecvHandler> m_RecvHandler{nullptr};
    // Called once on the read thread when the device has gone away.
    std::atomic<GoneHandler> m_GoneHandler{nullptr};
    // The link the handlers report to (DeviceLink::Begin sets it).
    std::atomic<DeviceLink*> m_Link{nullptr};

protected:
    struct Queue {
        uint16_t head = 0;
        uint16_t tail = 0;
        SerialPacket slot[kQueueSlots];
    };
    int Push(Queue& q, const void* bytes, int length);
    int OpenDevice(const std::string& path, int baud);
    void ReadThreadProc(uint32_t generation);
    void CloseHandle();

    int32_t m_PortNumber = 0;
    static constexpr uint32_t kPollIntervalMs = 10;
    int32_t m_RingWrite = 0;
    uint32_t m_ScanStart = 0;
    unsigned char m_Ring[kRingSize];
    std::mutex m_Lock;
    Queue m_Tx;
    Queue m_Rx;
    SerialPacket m_LastSent;
    bool m_SentAny = false;  // m_LastSent holds a real command

    // Thread end event (manual reset).
    std::mutex m_EndLock;
    std::condition_variable m_EndCond;
    bool m_EndSignalled = true;

    std::atomic<int32_t> m_Running{0};
    std::atomic<uint32_t> m_Generation{0};  // a thread left behind by a stop never runs again
    std::thread m_Thread;
    std::thread m_Straggler;  // a thread that did not end within the stop's wait

    int m_Fd = -1;
    std::atomic<int32_t> m_Open{0};
    std::atomic<bool> m_Gone{false};
    bool m_GoneReported = false;  // read thread only
    std::string m_DevicePath;
};

// The one port of the whole run.
CDLSerial& GetSerial();
