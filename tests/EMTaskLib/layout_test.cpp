// The structures are file formats: bytes placed by hand at the documented
// offsets must read back through the fields, and the other way round.
#include "EMTaskStruct.h"
#include "TestFolder.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace emtask;

namespace {
template <typename T>
void PutAt(void* base, size_t off, T v) { std::memcpy(static_cast<char*>(base) + off, &v, sizeof v); }
void PutText(void* base, size_t off, const char* s) { std::memcpy(static_cast<char*>(base) + off, s, strlen(s) + 1); }
}  // namespace

TEST(Layout, TestRecordFieldsAtTheirOffsets)
{
    unsigned char raw[276] = {};
    PutAt<int32_t>(raw, 0, 4711);
    PutText(raw, 4, "ID-1");
    PutText(raw, 68, "Kim");
    PutText(raw, 132, "2024");
    PutText(raw, 137, "03");
    PutText(raw, 140, "07");
    PutText(raw, 143, "13");
    PutText(raw, 146, "45");
    PutText(raw, 149, "59");
    PutText(raw, 200, "0.045");
    raw[248] = 'F';
    PutText(raw, 249, "M");
    PutAt<uint16_t>(raw, 266, 0xBEEF);
    raw[275] = 0x5A;  // last reserved byte

    TestRecord r;
    std::memcpy(&r, raw, sizeof r);
    EXPECT_EQ(r.testno, 4711);
    EXPECT_STREQ(r.id, "ID-1");
    EXPECT_STREQ(r.name, "Kim");
    EXPECT_STREQ(r.m_Tyy, "2024");
    EXPECT_STREQ(r.m_Tmm, "03");
    EXPECT_STREQ(r.m_Tdd, "07");
    EXPECT_STREQ(r.m_Thh, "13");
    EXPECT_STREQ(r.m_Tmi, "45");
    EXPECT_STREQ(r.m_Tss, "59");
    EXPECT_STREQ(r.result, "0.045");
    EXPECT_EQ(r.mode, 'F');
    EXPECT_STREQ(r.unit, "M");
    EXPECT_EQ(r.crc16, 0xBEEF);
    EXPECT_EQ(static_cast<unsigned char>(r.reserved3[7]), 0x5A);

    unsigned char back[276];
    std::memcpy(back, &r, sizeof r);
    EXPECT_EQ(0, std::memcmp(raw, back, sizeof raw));
}

TEST(Layout, DeviceDataSlotsStartAt196)
{
    TestFolder tf;
    DeviceData& d = GetManager()->m_DeviceData;
    auto* base = reinterpret_cast<unsigned char*>(&d);
    PutAt<int32_t>(base, 0, 0xAEAE);
    PutAt<int32_t>(base, 4, 'A');
    PutAt<int32_t>(base, 8, 3);
    PutAt<int32_t>(base, 196 + 276 * 2, 3);          // testno of slot 2
    PutAt<uint16_t>(base, 196 + 276 * 999999 + 266, 0x1234);
    EXPECT_EQ(d.initflag, 0xAEAE);
    EXPECT_EQ(d.datakind, 'A');
    EXPECT_EQ(d.datacnt, 3);
    EXPECT_EQ(d.m_TestData[2].testno, 3);
    EXPECT_EQ(d.m_TestData[999999].crc16, 0x1234);
}

TEST(Layout, BusInfoFieldsAtTheirOffsets)
{
    unsigned char raw[4348] = {};
    PutText(raw, 72, "0123");
    PutText(raw, 83, "0.045");
    PutText(raw, 89, "G");
    PutText(raw, 114, "12");
    PutText(raw, 130, "Lee");
    PutText(raw, 226, "L-12");
    PutAt<int32_t>(raw, 304, 2);
    PutAt<int32_t>(raw, 2360, 1);
    PutAt<int32_t>(raw, 2876, 5);
    PutAt<int32_t>(raw, 2880, 77);
    PutAt<int32_t>(raw, 2892, 0xAEAE);
    PutText(raw, 2896, "TEST REPORT");
    PutText(raw, 2928, "Dr. Park");
    PutText(raw, 2992, "Subject");
    PutText(raw, 3056, "Note");
    PutAt<int32_t>(raw, 3184, 2);
    PutText(raw, 3188, "/tmp/bg.jpg");
    PutAt<int32_t>(raw, 4212, 1);
    PutAt<int32_t>(raw, 4216, 1);
    PutAt<int32_t>(raw, 4220, 1);
    PutText(raw, 4224, "7294");
    PutAt<int32_t>(raw, 4288, 1);
    PutAt<int32_t>(raw, 4292, 18);
    PutText(raw, 4296, "020");
    PutText(raw, 4304, "050");
    PutAt<int32_t>(raw, 4312, 4);
    PutAt<int32_t>(raw, 4316, 1);

    BusInfo b;
    std::memcpy(&b, raw, sizeof b);
    EXPECT_STREQ(b.calcnt, "0123");
    EXPECT_STREQ(b.lastresult, "0.045");
    EXPECT_STREQ(b.unitcode, "G");
    EXPECT_STREQ(b.subjectno, "12");
    EXPECT_STREQ(b.subjectname, "Lee");
    EXPECT_STREQ(b.subjectid, "L-12");
    EXPECT_EQ(b.cameraindex, 2);
    EXPECT_EQ(b.login, 1);
    EXPECT_EQ(b.totaluser, 5);
    EXPECT_EQ(b.recordcnt, 77);
    EXPECT_EQ(b.initflag, 0xAEAE);
    EXPECT_STREQ(b.reporttitle, "TEST REPORT");
    EXPECT_STREQ(b.operatortext, "Dr. Park");
    EXPECT_STREQ(b.subjecttext, "Subject");
    EXPECT_STREQ(b.notetext, "Note");
    EXPECT_EQ(b.reportbg, 2);
    EXPECT_STREQ(b.bgpath, "/tmp/bg.jpg");
    EXPECT_EQ(b.idmode, 1);
    EXPECT_EQ(b.dateorder, 1);
    EXPECT_EQ(b.photosave, 1);
    EXPECT_STREQ(b.password, "7294");
    EXPECT_EQ(b.camerause, 1);
    EXPECT_EQ(b.rowsindex, 18);
    EXPECT_STREQ(b.lowlevel, "020");
    EXPECT_STREQ(b.highlevel, "050");
    EXPECT_EQ(b.sortcolumn, 4);
    EXPECT_EQ(b.sortdirection, 1);
}

TEST(Layout, BusUserInfoFieldsAtTheirOffsets)
{
    unsigned char raw[148] = {};
    std::memcpy(raw, "20240307134559", 14);  // digits without terminators
    PutAt<int32_t>(raw, 16, 9999);
    PutText(raw, 20, "user-id");
    PutText(raw, 84, "홍길동");
    BusUserInfo u;
    std::memcpy(&u, raw, sizeof u);
    EXPECT_EQ(std::string(u.year, 4), "2024");
    EXPECT_EQ(std::string(u.month, 2), "03");
    EXPECT_EQ(std::string(u.day, 2), "07");
    EXPECT_EQ(std::string(u.hour, 2), "13");
    EXPECT_EQ(std::string(u.minute, 2), "45");
    EXPECT_EQ(std::string(u.second, 2), "59");
    EXPECT_EQ(u.uid, 9999);
    EXPECT_STREQ(u.cusid, "user-id");
    EXPECT_STREQ(u.uname, "홍길동");
}

TEST(Layout, StoreMembersAreZeroAndLazilyCommitted)
{
    TestFolder tf;
    EMTaskData* m = GetManager();
    EXPECT_EQ(m->m_DeviceData.initflag, 0);
    EXPECT_EQ(m->m_BusInfo.initflag, 0);
    EXPECT_EQ(m->m_SearchData.datacnt, 0);
    EXPECT_EQ(m->m_DeviceData.m_TestData[kMaxRecords - 1].testno, 0);
    EXPECT_EQ(m->wp_BusUserInfo[kMaxUsers - 1].uid, 0);
    EXPECT_EQ(m->m_SearchWork.m_TestData[123456].testno, 0);
}
