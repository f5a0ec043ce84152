// Record archives: an 8-byte header (kind byte, seven zeros) followed by the
// whole DeviceData image, saved as D/N/N.dat with the photographs in D/N/jpeg.
// Window-free, so the record and search windows share it and tests drive it.
#pragma once

#include "EMTaskStruct.h"
#include "records/PhotoLookup.h"

#include <cstdint>
#include <functional>
#include <string>

namespace emtask {
class EMTaskData;
}

namespace records {

constexpr size_t kArchiveHeaderSize = 8;
constexpr uint64_t kArchiveFileSize = kArchiveHeaderSize + sizeof(emtask::DeviceData);  // 276,000,204

// Where an archive chosen as `chosen` goes: the folder D/N and the file
// D/N/N.dat, N being the chosen file name with every ".dat" removed. `ok` is
// false when nothing of a name is left.
struct ArchiveTarget {
    std::string folder;
    std::string file;
    std::string name;
    bool ok = false;
};
ArchiveTarget ArchiveTargetFor(const std::string& chosen);

// Writes the header and the image as the whole new content of `path`, under
// the store lock: a temporary file, every write checked, synced, renamed over
// an older archive only when complete. All-zero stretches are left as holes.
bool WriteArchive(const std::string& path, uint8_t kind, const emtask::DeviceData& image,
                  emtask::EMTaskData& store);

enum class ArchiveLoad { Ok, CannotOpen, NoHeader, KindMismatch, NotAnArchive, ReadFailed };
// Reads an archive into the store's m_DeviceData, under the store lock. The
// file is checked (a regular file, opened without blocking; its header and
// kind; its size and the image's initflag) before anything is changed; then
// the log's counter is set aside (BeginArchiveView) and the image read. After
// a read that fails midway (ReadFailed) the archive view is on with part of
// the file: the caller gives the log back (EndArchiveView).
ArchiveLoad LoadArchive(const std::string& path, emtask::EMTaskData& store);

// What a photograph copy did. A photograph the source never held is not
// lost; one that was there (or whose folder has gone since the records were
// opened, by its record's check value) and was not copied is.
struct PhotoCopy {
    int copied = 0;
    int lost = 0;
    std::string firstLost;  // the source path of the first one lost
    std::string why;        // and why
};

// Copies the photographs of the records of `image` from `from` into `toFolder`
// under their testno names; a copy of a file onto itself is skipped. All are
// written first and put in place together with one sync, and only when none
// was lost (otherwise `toFolder` keeps what it had). `progress` gets the
// records done so far (called for every record).
PhotoCopy CopyPhotographs(const emtask::DeviceData& image, const PhotoSource& from,
                          const std::string& toFolder, const std::function<void(int)>& progress = {});

// A whole archive save: the folder, the photographs when `photos`, then the
// archive, renamed into place only when every photograph is. True when all
// went; `copy` (when given) says what happened to the photographs, `why`
// what failed (the file and the system's reason).
bool SaveArchive(const ArchiveTarget& target, uint8_t kind, const emtask::DeviceData& data,
                 emtask::EMTaskData& store, const PhotoSource& from, bool photos,
                 const std::function<void(int)>& progress = {}, PhotoCopy* copy = nullptr,
                 std::string* why = nullptr);

}  // namespace records
