#include "measurement/TestStore.h"

#include "DebugLog.h"
#include "EMTaskData.h"
#include "FileImage.h"
#include "PhotoCheck.h"
#include "ProgramFolder.h"
#include "TextUtil.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstring>
#include <opencv2/imgcodecs.hpp>

namespace measurement {

using namespace emtask;

std::string TestPhotoPath(const TestRecord& rec) { return JpegDir() + "/" + PhotoFileName(rec); }

uint16_t SaveTestPhoto(const cv::Mat& photo, const TestRecord& rec, bool* written, Digest* digest)
{
    if (written) *written = false;
    MakeDirectory(JpegDir());  // and data with it
    std::string path = TestPhotoPath(rec);
    DebugLine("w_Path : %s", path.c_str());
    std::vector<unsigned char> jpeg;
    bool ok = false;
    try {
        ok = !photo.empty() && cv::imencode(".jpg", photo, jpeg);
    } catch (const cv::Exception& e) {
        DebugLine("imencode: %s", e.what());
        ok = false;
    }
    // Put in place whole: a photograph is never left half written.
    if (ok && !AtomicWriteFile(path, jpeg.data(), jpeg.size())) {
        DebugLine("%s", LastFileError().c_str());
        ok = false;
    }
    PhotoSamples samples{};
    if (ok) {
        DebugLine("[SAVE IMAGE]");
        if (written) *written = true;
        if (digest) *digest = Sha256(jpeg.data(), jpeg.size());
        // The samples come from the bytes as stored, as a later check reads them.
        cv::Mat img;
        DecodePhoto(jpeg, img);
        DebugLine("imgBPP:%d, crcImage.GetWidth() : %d,crcImage.GetHeight() : %d", img.empty() ? 0 : 24,
                  img.cols, img.rows);
        samples = SamplePhoto(img);
    } else {
        DebugLine("photograph not written: %s", path.c_str());
    }
    return PhotoCheckValue(samples, rec);
}

StoredTest FlowDataSave(EMTaskData& store, bool flowError, const std::string& result, const cv::Mat& photo,
                        const struct tm& now)
{
    StoredTest out;
    EMTaskData* m = &store;
    const BusInfo& bus = m->Settings().Get();
    const int32_t testno = m->NextTestNo();
    if (testno < 0) {
        DebugLine("record counter %d: test not stored", bus.recordcnt);
        return out;
    }

    TestRecord rec{};
    if (flowError) {
        rec.mode = 'F';
        CopyField(rec.result, "FLOW");
        CopyField(rec.unit, "F");
    } else {
        rec.mode = '0';
        CopyField(rec.result, result);
        CopyField(rec.unit, FieldText(bus.unitcode));
        // Cleared as soon as it is taken, not after the saves: an END that the
        // serial thread handles while the files are written must find it
        // empty, or nobody asks the instrument for it again.
        m->Settings().Change([](BusInfo& b) { std::memset(b.unitcode, 0, sizeof b.unitcode); });
    }
    DebugLine("result : %s", rec.result);
    CopyField(rec.name, FieldText(bus.subjectname));
    CopyField(rec.id, FieldText(bus.subjectid));
    rec.testno = testno;
    StampRecordTime(rec, now);

    Digest photoDigest{};
    if (!photo.empty()) {
        out.crc = SaveTestPhoto(photo, rec, &out.photoWritten, &photoDigest);
    } else {
        out.crc = PhotoCheckValue(PhotoSamples{}, rec);
    }
    rec.crc16 = out.crc;

    out.slot = m->AppendRecord(rec);
    DebugLine("before saveresultdata");
    out.logSaved = m->SaveResultData();
    if (out.logSaved != 1) out.logError = LastStoreError();
    DebugLine("after saveresultdata");
    if (out.logSaved == 1) {
        out.sealSaved = m->SealRecord(out.slot, out.photoWritten ? &photoDigest : nullptr);
        if (out.sealSaved != 1) out.sealError = LastStoreError();
    }
    DebugLine("before SaveSetting");
    out.settingSaved = m->SaveSetting();
    if (out.settingSaved != 1) out.settingError = LastStoreError();
    DebugLine("after SaveSetting");
    return out;
}

std::string StoreProblemText(const StoredTest& stored, const std::string& result, bool hadPhoto)
{
    const QString shown = QString::fromStdString(result.empty() ? std::string("-") : result);
    if (stored.slot < 0)
        return QCoreApplication::translate(
                   "measurement",
                   "The test log is full: this result (%1) was not saved. Please note it by hand.")
            .arg(shown)
            .toStdString();
    QStringList lines;
    if (stored.logSaved != 1)
        lines << QCoreApplication::translate("measurement",
                                             "This result (%1) was not saved: %2. Please note it by hand.")
                     .arg(shown, QString::fromStdString(stored.logError));
    else if (stored.sealSaved != 1)
        lines << QCoreApplication::translate("measurement", "The result was saved, but not sealed: %1.")
                     .arg(QString::fromStdString(stored.sealError));
    if (stored.logSaved == 1 && stored.settingSaved != 1)
        lines << QCoreApplication::translate("measurement",
                                             "The result was saved, but the settings were not: %1.")
                     .arg(QString::fromStdString(stored.settingError));
    if (hadPhoto && !stored.photoWritten)
        lines << QCoreApplication::translate("measurement",
                                             "The photograph of this test could not be saved.");
    return lines.join(QLatin1Char('\n')).toStdString();
}

}  // namespace measurement
