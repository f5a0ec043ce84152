// Sealed test logs for the audit tests: records stored through the store,
// photographs through the test's own writer, one ledger entry per record.
#pragma once

#include "RecordsFixture.h"
#include "StoreImage.h"
#include "PhotoCheck.h"
#include "SealLedger.h"

#include <fstream>
#include <functional>

// Seals the record in `slot` as the store seals a stored test.
inline void SealSlot(int32_t slot)
{
    const emtask::TestRecord& rec = emtask::StoreImage::Log(*emtask::GetManager()).m_TestData[slot];
    emtask::Digest photo;
    const bool hasPhoto = emtask::Sha256File(measurement::TestPhotoPath(rec), photo);
    emtask::GetManager()->SealRecord(slot, hasPhoto ? &photo : nullptr);
}

// `n` records in a RecordsHome, a photograph on every even test number, saved; the ledger starts
// after test `legacy` (0: sealed from the first record on; -1: no ledger at all).
inline void MakeSealedLog(int n, int legacy = 0, bool photos = true)
{
    emtask::EMTaskData* m = emtask::GetManager();
    emtask::MakeDirectory(emtask::JpegDir());
    if (legacy > 0) {
        emtask::SealEntry start;
        start.flags = emtask::kSealStart;
        start.testno = legacy;
        emtask::AppendSeal(emtask::SealLedgerPath(), start);
    }
    for (int i = 0; i < n; ++i) {
        emtask::TestRecord r = MakeRecord(m->NextTestNo(), i);
        r.crc16 = photos && r.testno % 2 == 0 ? measurement::SaveTestPhoto(MakePhoto(r.testno), r)
                                              : emtask::PhotoCheckValue({}, r);
        const int32_t slot = m->AppendRecord(r);
        // The instrument's count, one ahead of the test number.
        std::snprintf(emtask::StoreImage::Settings(*m).calcnt, sizeof emtask::StoreImage::Settings(*m).calcnt,
                      "%04d", (r.testno + 1) % 10000);
        if (legacy >= 0 && r.testno > legacy) SealSlot(slot);
    }
    m->SaveResultData();
}

// Changes the record in `slot` in the log file, behind the store's back.
inline void EditRecord(int32_t slot, const std::function<void(emtask::TestRecord&)>& edit)
{
    std::fstream f(emtask::MeasureLogPath(), std::ios::in | std::ios::out | std::ios::binary);
    const auto at = std::streamoff(emtask::kDeviceDataHeaderSize + size_t(slot) * sizeof(emtask::TestRecord));
    emtask::TestRecord r;
    f.seekg(at);
    f.read(reinterpret_cast<char*>(&r), sizeof r);
    edit(r);
    f.seekp(at);
    f.write(reinterpret_cast<const char*>(&r), sizeof r);
}
