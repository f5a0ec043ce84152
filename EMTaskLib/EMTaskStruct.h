// Record and settings layouts. Every structure here is written to disk (or
// into an archive) as it lies in memory, so each offset is a file format.
#pragma once

#include <cstddef>
#include <cstdint>

namespace emtask {

constexpr int32_t kInitFlag = 0xAEAE;          // 44,718: member initialised
constexpr int32_t kMaxRecords = 1000000;       // slots of a DeviceData
constexpr int32_t kMaxStoredCounter = 999999;  // no record is stored at or above this counter
constexpr int32_t kMaxUsers = 10000;           // user slots, slot 0 never used

#pragma pack(push, 1)

// One breath test, 276 bytes.
struct TestRecord {
    int32_t testno;  // slot index + 1
    char id[64];
    char name[64];
    char m_Tyy[5];  // "%04d"
    char m_Tmm[3];  // "%02d"
    char m_Tdd[3];
    char m_Thh[3];
    char m_Tmi[3];
    char m_Tss[3];
    char reserved1[48];
    char result[12];  // five characters as sent, or "FLOW"
    char reserved2[36];
    char mode;       // '0' measured, 'F' flow error, '1' fast mode (archives only)
    char unit[17];   // "B", "G", "M", or "F" for a flow error
    uint16_t crc16;  // photograph check value
    char reserved3[8];
};

// Test log, search result and archive body: 196-byte header + 1,000,000 slots.
struct DeviceData {
    int32_t initflag;
    int32_t datakind;
    int32_t datacnt;
    char reserved[184];
    TestRecord m_TestData[kMaxRecords];
};

// One registered user, 148 bytes.
struct BusUserInfo {
    char year[4];  // ASCII digits, no terminator
    char month[2];
    char day[2];
    char hour[2];
    char minute[2];
    char second[2];
    char reserved[2];
    int32_t uid;     // == slot index while in use, 0 when free
    char cusid[64];  // user ID
    char uname[64];  // user name
};

// Settings block and run-time values, 4,348 bytes: image of config.conf.
struct BusInfo {
    char reserved0[64];
    int32_t reserved64;
    int16_t reserved68;
    int16_t reserved70;
    char calcnt[11];     // four characters from the unit frame
    char lastresult[6];  // five result characters of the last RES frame
    char unitcode[2];    // "B", "G", "M" or empty
    char reserved91[23];
    char subjectno[16];  // uid of the identified subject, "%d"
    char subjectname[96];
    char subjectid[74];
    int32_t reserved300;  // written 0 just before the exit save
    int32_t cameraindex;
    char reserved308[2052];
    int32_t login;  // 1 = a reset of the instrument is pending
    char reserved2364[512];
    int32_t totaluser;
    int32_t recordcnt;     // the record counter: slot of the next record
    char reserved2884[8];  // zeroed each time the block is read at start
    int32_t initflag;
    char reporttitle[32];
    char operatortext[64];
    char subjecttext[64];
    char notetext[128];
    int32_t reportbg;  // 0 default, 1 blank, 2 custom image
    char bgpath[1024];
    int32_t idmode;     // 0 disables entry in the identification window
    int32_t dateorder;  // 0 Y-M-D, 1 M-D-Y, anything else D-M-Y
    int32_t photosave;  // 0 = save photographs with exports, 1 = not
    char password[64];
    int32_t camerause;  // 1 = use the camera
    int32_t rowsindex;  // index 0..18 into the rows-per-sheet list
    char lowlevel[8];
    char highlevel[8];
    int32_t sortcolumn;     // user list column 0..4
    int32_t sortdirection;  // non-zero = ascending
    char reserved4320[28];
};

// Search criteria, 468 bytes; lives only in memory.
struct SearchInfo {
    uint32_t flags;  // bit 0 number, 1 date, 2 ID/name, 3 normal range, 5 error
    char startno[64];
    char endno[64];
    char dateStart[64];  // "%04d%02d%02d%02d%02d%02d"
    char dateEnd[64];
    char idname[64];
    float normalstart;
    float normalend;
    char errortext[64];  // "Flow" while bit 5 is set
    char reserved[72];
};

#pragma pack(pop)

enum SearchFlag : uint32_t {
    SEARCH_TESTNO = 1u << 0,
    SEARCH_DATE = 1u << 1,
    SEARCH_IDNAME = 1u << 2,
    SEARCH_NORMAL = 1u << 3,
    SEARCH_ERROR = 1u << 5,
};

constexpr size_t kDeviceDataHeaderSize = offsetof(DeviceData, m_TestData);

// Sizes are file formats.
static_assert(sizeof(TestRecord) == 276);
static_assert(sizeof(DeviceData) == 276000196);
static_assert(sizeof(BusUserInfo) == 148);
static_assert(sizeof(BusInfo) == 4348);
static_assert(sizeof(SearchInfo) == 468);
static_assert(alignof(DeviceData) == 1 && alignof(BusInfo) == 1);

// TestRecord
static_assert(offsetof(TestRecord, testno) == 0);
static_assert(offsetof(TestRecord, id) == 4);
static_assert(offsetof(TestRecord, name) == 68);
static_assert(offsetof(TestRecord, m_Tyy) == 132);
static_assert(offsetof(TestRecord, m_Tmm) == 137);
static_assert(offsetof(TestRecord, m_Tdd) == 140);
static_assert(offsetof(TestRecord, m_Thh) == 143);
static_assert(offsetof(TestRecord, m_Tmi) == 146);
static_assert(offsetof(TestRecord, m_Tss) == 149);
static_assert(offsetof(TestRecord, reserved1) == 152);
static_assert(offsetof(TestRecord, result) == 200);
static_assert(offsetof(TestRecord, reserved2) == 212);
static_assert(offsetof(TestRecord, mode) == 248);
static_assert(offsetof(TestRecord, unit) == 249);
static_assert(offsetof(TestRecord, crc16) == 266);
static_assert(offsetof(TestRecord, reserved3) == 268);

// DeviceData
static_assert(offsetof(DeviceData, initflag) == 0);
static_assert(offsetof(DeviceData, datakind) == 4);
static_assert(offsetof(DeviceData, datacnt) == 8);
static_assert(offsetof(DeviceData, reserved) == 12);
static_assert(offsetof(DeviceData, m_TestData) == 196);

// BusUserInfo
static_assert(offsetof(BusUserInfo, year) == 0);
static_assert(offsetof(BusUserInfo, month) == 4);
static_assert(offsetof(BusUserInfo, day) == 6);
static_assert(offsetof(BusUserInfo, hour) == 8);
static_assert(offsetof(BusUserInfo, minute) == 10);
static_assert(offsetof(BusUserInfo, second) == 12);
static_assert(offsetof(BusUserInfo, reserved) == 14);
static_assert(offsetof(BusUserInfo, uid) == 16);
static_assert(offsetof(BusUserInfo, cusid) == 20);
static_assert(offsetof(BusUserInfo, uname) == 84);

// BusInfo
static_assert(offsetof(BusInfo, reserved64) == 64);
static_assert(offsetof(BusInfo, reserved68) == 68);
static_assert(offsetof(BusInfo, reserved70) == 70);
static_assert(offsetof(BusInfo, calcnt) == 72);
static_assert(offsetof(BusInfo, lastresult) == 83);
static_assert(offsetof(BusInfo, unitcode) == 89);
static_assert(offsetof(BusInfo, reserved91) == 91);
static_assert(offsetof(BusInfo, subjectno) == 114);
static_assert(offsetof(BusInfo, subjectname) == 130);
static_assert(offsetof(BusInfo, subjectid) == 226);
static_assert(offsetof(BusInfo, reserved300) == 300);
static_assert(offsetof(BusInfo, cameraindex) == 304);
static_assert(offsetof(BusInfo, reserved308) == 308);
static_assert(offsetof(BusInfo, login) == 2360);
static_assert(offsetof(BusInfo, reserved2364) == 2364);
static_assert(offsetof(BusInfo, totaluser) == 2876);
static_assert(offsetof(BusInfo, recordcnt) == 2880);
static_assert(offsetof(BusInfo, reserved2884) == 2884);
static_assert(offsetof(BusInfo, initflag) == 2892);
static_assert(offsetof(BusInfo, reporttitle) == 2896);
static_assert(offsetof(BusInfo, operatortext) == 2928);
static_assert(offsetof(BusInfo, subjecttext) == 2992);
static_assert(offsetof(BusInfo, notetext) == 3056);
static_assert(offsetof(BusInfo, reportbg) == 3184);
static_assert(offsetof(BusInfo, bgpath) == 3188);
static_assert(offsetof(BusInfo, idmode) == 4212);
static_assert(offsetof(BusInfo, dateorder) == 4216);
static_assert(offsetof(BusInfo, photosave) == 4220);
static_assert(offsetof(BusInfo, password) == 4224);
static_assert(offsetof(BusInfo, camerause) == 4288);
static_assert(offsetof(BusInfo, rowsindex) == 4292);
static_assert(offsetof(BusInfo, lowlevel) == 4296);
static_assert(offsetof(BusInfo, highlevel) == 4304);
static_assert(offsetof(BusInfo, sortcolumn) == 4312);
static_assert(offsetof(BusInfo, sortdirection) == 4316);
static_assert(offsetof(BusInfo, reserved4320) == 4320);

// SearchInfo
static_assert(offsetof(SearchInfo, flags) == 0);
static_assert(offsetof(SearchInfo, startno) == 4);
static_assert(offsetof(SearchInfo, endno) == 68);
static_assert(offsetof(SearchInfo, dateStart) == 132);
static_assert(offsetof(SearchInfo, dateEnd) == 196);
static_assert(offsetof(SearchInfo, idname) == 260);
static_assert(offsetof(SearchInfo, normalstart) == 324);
static_assert(offsetof(SearchInfo, normalend) == 328);
static_assert(offsetof(SearchInfo, errortext) == 332);

}  // namespace emtask
