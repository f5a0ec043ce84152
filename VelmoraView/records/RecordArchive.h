// Record archives: an 8-byte header (kind byte, seven zeros) followed by the
// whole DeviceData image, saved as D/N/N.dat with the photographs in D/N/jpeg.
// Window-free, so the record and search windows share it and tests drive it.
#pragma once

#include "EMTaskStruct.h"
#include "records/PhotoLookup.h"

#include <cstdint>
#include <functional>
#include <string>

namespace emtask { class EMTaskData; }

namespace records {

constexpr size_t kArchiveHeaderSize = 8;

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

enum class ArchiveLoad { Ok, CannotOpen, NoHeader, KindMismatch };
// Reads an archive into the store's m_DeviceData, under the store lock. The
// file is checked (opens, has its header, kind) before anything is changed;
// then the log's counter is set aside (BeginArchiveView), the image zeroed and
// read up to its size (a shorter file fills the start).
ArchiveLoad LoadArchive(const std::string& path, emtask::EMTaskData& store);

// Copies the photographs of the records of `image` from `from` into `toFolder`
// under their testno names, each copy written crash-safely; records without a
// photograph, and a copy of a file onto itself, are skipped. `progress` gets
// the records done so far (called for every record). Returns copies made.
int CopyPhotographs(const emtask::DeviceData& image, const PhotoSource& from, const std::string& toFolder,
                    const std::function<void(int)>& progress = {});

}  // namespace records
