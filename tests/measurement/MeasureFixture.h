// A temporary program folder, a camera made of generated frames, the subject
// and users of a test, the time of a test, and the log as it lies on disk.
#pragma once

#include "EMTaskData.h"
#include "StoreImage.h"
#include "TextUtil.h"
#include "TestFolder.h"
#include "WindowRecorder.h"
#include "messaging/WindowRegistry.h"

#include <QStringList>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <string>
#include <tuple>
#include <vector>

// A fresh program folder with the settings of a fresh installation.
struct TempHome : TestFolder {
    TempHome()
    {
        emtask::InitBusInfo(emtask::StoreImage::Settings(*emtask::GetManager()), 0);
        emtask::StoreImage::Log(*emtask::GetManager()).initflag = emtask::kInitFlag;
    }
};

// n frames, each a different colour with a moving square, written as an
// image sequence; returns the pattern for ZOLT7_CAMERA_SOURCE.
inline std::string WriteFrames(const std::string& dir, int n)
{
    std::filesystem::create_directories(dir);
    for (int i = 0; i < n; ++i) {
        cv::Mat m(240, 320, CV_8UC3, cv::Scalar(40 + 20 * i, 90, 200 - 15 * i));
        cv::rectangle(m, cv::Rect(10 + 12 * i, 40, 60, 60), cv::Scalar(255, 255, 255), cv::FILLED);
        char name[64];
        std::snprintf(name, sizeof name, "/frame_%03d.jpg", i);
        cv::imwrite(dir + name, m);
    }
    return dir + "/frame_%03d.jpg";
}

class CameraSourceEnv {
public:
    explicit CameraSourceEnv(const std::string& source) { setenv("ZOLT7_CAMERA_SOURCE", source.c_str(), 1); }
    ~CameraSourceEnv() { unsetenv("ZOLT7_CAMERA_SOURCE"); }
};

// The subject and the instrument's result, as the serial thread leaves them.
inline void SetSubject(const char* id, const char* name, const char* result, const char* unit)
{
    emtask::BusInfo& b = emtask::StoreImage::Settings(*emtask::GetManager());
    emtask::CopyField(b.subjectid, id);
    emtask::CopyField(b.subjectname, name);
    emtask::CopyField(b.lastresult, result);
    emtask::CopyField(b.unitcode, unit);
}

// A user file written as the register writes it: (slot, ID, name) each.
inline void WriteUsers(const TempHome& home,
                       std::initializer_list<std::tuple<int, const char*, const char*>> users)
{
    std::vector<emtask::BusUserInfo> table(emtask::kMaxUsers);
    for (auto [uid, id, name] : users) {
        emtask::BusUserInfo& u = table[uid];
        u.uid = uid;
        emtask::CopyField(u.cusid, id);
        emtask::CopyField(u.uname, name);
    }
    WriteBytes(home / "conf/userinfo.conf", table.data(), table.size() * sizeof table[0]);
}

// Record `slot` as it lies in the test log on disk.
inline emtask::TestRecord RecordOnDisk(const TempHome& home, int slot)
{
    emtask::TestRecord r{};
    std::ifstream f(home / "data/measurelog.dat", std::ios::binary);
    f.seekg(std::streamoff(emtask::kDeviceDataHeaderSize + size_t(slot) * sizeof r));
    f.read(reinterpret_cast<char*>(&r), sizeof r);
    return r;
}

inline struct tm MakeTm(int y, int mo, int d, int h, int mi, int s)
{
    struct tm t { };
    t.tm_year = y - 1900, t.tm_mon = mo - 1, t.tm_mday = d, t.tm_hour = h, t.tm_min = mi, t.tm_sec = s;
    return t;
}

// ID, name, result, unit and mode of a record, to compare in one go.
inline QStringList RecordFields(const emtask::TestRecord& r)
{
    auto text = [](const auto& field) { return QString::fromStdString(emtask::FieldText(field)); };
    return {text(r.id), text(r.name), text(r.result), text(r.unit), QString(QLatin1Char(r.mode))};
}
