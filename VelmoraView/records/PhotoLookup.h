// Where a record's photograph is, and the check of a photograph against the
// value stored with its record. Window-free: the windows draw the result.
#pragma once

#include "EMTaskStruct.h"

#include <QImage>
#include <cstdint>
#include <string>

namespace records {

// The folder the photographs of the shown records are in, and the number
// their names carry: the test log names them by slot + 1, an archive by the
// record's testno.
struct PhotoSource {
    std::string folder;
    bool numberBySlot = true;
    // The folder was there when the records were opened: should it be gone
    // (a stick pulled out), their photographs are lost, not absent.
    bool folderSeen = false;
};
PhotoSource LogPhotoSource();                                    // <program folder>/data/jpeg
PhotoSource ArchivePhotoSource(const std::string& photoFolder);  // <archive folder>/jpeg

// "%08d-" and the fourteen date and time digits ".jpg" of the record under
// `number`; "" when that does not give eight digits, a hyphen and fourteen
// digits (a record from an archive may hold anything in its fields, and the
// name must never become a path).
std::string SafePhotoName(const emtask::TestRecord& rec, int32_t number);
// Folder + "/" + name of the record in `slot`; "" when it has no safe name.
std::string PhotoPath(const PhotoSource& src, const emtask::TestRecord& rec, int32_t slot);

enum class PhotoVerdict {
    NoPhoto,  // no file (or no record): the no-photograph picture
    Intact,   // the photograph, its check value as stored
    Altered,  // a file whose check value differs, or one refused unread or
              // undecoded (too large): the altered-photograph picture
};

struct PhotoResult {
    PhotoVerdict verdict = PhotoVerdict::NoPhoto;
    QImage picture;  // what the picture area shows, already at half size
    std::string path;
    uint16_t stored = 0;
    uint16_t computed = 0;
};

// Decodes the photograph of the record in `slot` once, recomputes its check
// value and picks what to show.
PhotoResult CheckRecordPhoto(const PhotoSource& src, const emtask::DeviceData& d, int32_t slot);

// The built-in pictures, 320 x 240, drawn in code.
QImage NoPhotoPicture();
QImage AlteredPhotoPicture();

}  // namespace records
