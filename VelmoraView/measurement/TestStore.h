// Storing one breath test: the photograph, then the test log, then the settings.
#pragma once

#include "EMTaskStruct.h"
#include "SealLedger.h"

#include <cstdint>
#include <ctime>
#include <opencv2/core.hpp>
#include <string>

namespace emtask {
class EMTaskData;
}

namespace measurement {

// Writes `photo` as the JPEG of `rec` (number, date and time filled) in the
// photograph folder, decodes the bytes written again and returns the record's
// check value from them. A photograph that cannot be written or decoded gives
// the check value of zero samples. `written` tells whether a file was stored,
// `digest` receives the SHA-256 of its bytes.
uint16_t SaveTestPhoto(const cv::Mat& photo, const emtask::TestRecord& rec, bool* written = nullptr,
                       emtask::Digest* digest = nullptr);

// <program folder>/data/jpeg/<photograph name of rec>
std::string TestPhotoPath(const emtask::TestRecord& rec);

struct StoredTest {
    int32_t slot = -1;  // -1: the log is full, nothing stored
    uint16_t crc = 0;
    bool photoWritten = false;
    int logSaved = 0;          // SaveResultData: 1 or -1
    int settingSaved = 0;      // SaveSetting: 1 or -1
    int sealSaved = 0;         // SealRecord: 1 or -1 (0: the log was not saved)
    std::string logError;      // why the log was not saved
    std::string settingError;  // why the settings were not saved
    std::string sealError;     // why the record was not sealed
};

// Fills the next record of `store` with `result` (the text of the frame that ended the
// test; a flow error stores "FLOW" instead) and the subject of the settings
// block, dated `now`; stores `photo` when not empty; appends it, saves the
// log, seals the record and saves the settings. A measured result clears the unit code once it is
// taken, so the instrument is asked for it again.
StoredTest FlowDataSave(emtask::EMTaskData& store, bool flowError, const std::string& result,
                        const cv::Mat& photo, const struct tm& now);

// What the operator must be told after storing a test with `result` (written
// by hand if need be): empty when the record, its photograph (when there was
// one) and the settings were all saved.
std::string StoreProblemText(const StoredTest& stored, const std::string& result, bool hadPhoto);

}  // namespace measurement
