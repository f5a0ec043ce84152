// How store members reach the disk. A file always equals a member's byte
// image; what is ours is how it gets there: every save leaves either the
// complete old image or the complete new one, whether it is interrupted or
// one of its writes fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace emtask {

// errno value of a path that exists but is not a regular file (a FIFO, a
// device, a folder): store files are never opened on those.
constexpr int kNotRegularFile = 0x10000;
// Text for an errno value, including the one above.
std::string ErrorText(int err);

// Opens a regular file for reading without blocking on a FIFO or a device;
// `size` receives its length. -1 with errno (kNotRegularFile for anything but
// a regular file) when it cannot.
int OpenRegularFile(const std::string& path, uint64_t* size = nullptr);

// Why the last failed call of this file's functions failed, on this thread
// (for example "data/measurelog.dat.jnl could not be applied: No space left
// on device"); errno holds the code.
const std::string& LastFileError();
// Sets it, and errno, for a caller that fails on its own account.
void SetLastFileError(int err, std::string text);

// Writes `size` bytes as the whole new content of `path`: a temporary file
// beside it, synced, then renamed over it. All-zero stretches of 1 MiB are
// left as holes. Returns false (errno and LastFileError set) when it cannot;
// the file is then its old image, or the new one when only the final sync of
// the folder failed. A journal of `path` that cannot be settled first stops
// the save: a journal never outlives a whole-image save of its file.
bool AtomicWriteFile(const std::string& path, const void* data, size_t size);

// The same for a file made of several stretches of memory laid end to end
// (a header and an image).
struct Piece {
    const void* data;
    size_t size;
};
bool AtomicWriteFile(const std::string& path, const std::vector<Piece>& pieces);

// Puts a file that another writer has completed at `tmp` into place as
// `path`: flushed to disk first, then renamed over `path`, and the rename
// flushed. On failure `tmp` is removed, `path` is untouched and LastFileError
// says why.
bool CommitTempFile(const std::string& tmp, const std::string& path);
// A file written as a stream and put in place whole: the bytes go to a new
// temporary file beside `path`; Commit flushes it to the disk and renames it
// over `path`. Until then (and after any failure) `path` is untouched, and
// a writer dropped without Commit removes its temporary file.
class AtomicFileWriter {
public:
    AtomicFileWriter() = default;
    ~AtomicFileWriter() { Abort(); }
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // False (errno and LastFileError set) when the temporary file cannot be created. `mode` as for open(2),
    // narrowed by the umask.
    bool Open(const std::string& path, unsigned mode = 0666);
    // Buffered; false once any write has failed (later calls stay false).
    bool Write(const void* data, size_t size);
    bool Write(const std::string& text) { return Write(text.data(), text.size()); }
    // Writes out the buffer, syncs, closes and renames. False when any step
    // failed; the temporary file is then removed.
    bool Commit();
    // Drops the temporary file (no effect after Commit).
    void Abort();
    // Writes out the buffer and closes the temporary file, neither synced nor
    // renamed, and hands its name over to `tmp` (for an AtomicFileBatch).
    bool Close(std::string& tmp);

private:
    bool Flush();
    std::string m_Path, m_Tmp;
    int m_Fd = -1;
    bool m_Ok = false;
    uint64_t m_Offset = 0;
    std::vector<char> m_Buf;
};

// Many files saved as one: each is written whole under a temporary name
// beside its target; Commit then makes all of them durable with one sync of
// their file system, renames each into place and syncs each folder once (a
// sync per file costs a disk flush per file). Until Commit no target is
// touched, and a batch dropped without Commit removes its temporary files.
class AtomicFileBatch {
public:
    AtomicFileBatch() = default;
    ~AtomicFileBatch() { Abort(); }
    AtomicFileBatch(const AtomicFileBatch&) = delete;
    AtomicFileBatch& operator=(const AtomicFileBatch&) = delete;

    // False (LastFileError set) when the file cannot be written whole.
    bool Add(const std::string& path, const void* data, size_t size);
    // False (LastFileError set) when a sync or a rename failed: the files
    // renamed before it are in place, each whole; the others are dropped.
    bool Commit();
    void Abort();
    size_t Size() const { return m_Files.size(); }

private:
    struct Entry {
        std::string tmp, path;
    };
    std::vector<Entry> m_Files;
};

// Appends `size` bytes (a whole number of `unit`-byte entries) to `path`,
// creating it when missing, and syncs it. Whatever an interrupted append left
// past the last whole entry is cut off first, so a file only ever holds whole
// entries followed by at most one torn one, and entries once written are never
// touched. On failure the file holds its old entries (errno and LastFileError
// set).
bool AppendEntries(const std::string& path, const void* data, size_t size, size_t unit);

// One changed stretch of a file, with its new bytes.
struct Patch {
    uint64_t offset;
    const void* data;
    uint32_t length;
};

enum class PatchResult {
    Failed,   // nothing changed: the file is its old image (errno set)
    Done,     // the file is its new image
    Pending,  // committed: the journal holds the change but could not be
              // applied yet; the next load sees the new image, and every save
              // of the file fails until the journal has been applied
};

// Changes stretches of an existing file of exactly `imageSize` bytes in
// place, all or nothing: the new bytes go first to "<path>.jnl" (complete and
// synced before it appears under that name), then into the file, and the
// journal is removed.
PatchResult PatchFile(const std::string& path, const std::vector<Patch>& patches, uint64_t imageSize);

struct Recovery {
    enum State {
        None,        // no journal
        Applied,     // a journal was completed and removed
        SetAside,    // a journal that does not fit the file was renamed to
                     // "<path>.jnl.bad" without being applied (`why` says why)
        Pending,     // a valid journal could not be applied or removed (err)
        Unreadable,  // a journal exists but cannot be read (err): whether the
                     // file is whole is unknown
    } state = None;
    int err = 0;
    std::string why;
};

// Settles the journal a PatchFile of `path` may have left: a valid one is
// applied, one that does not fit an image of `imageSize` bytes is set aside.
// Called before every load and save of a store file.
Recovery RecoverFile(const std::string& path, uint64_t imageSize);

// For a file that is never saved by journal: a journal found beside it was
// not written by this program, so it is set aside as "<path>.jnl.bad"
// unapplied (`why` says why). Leftover temporary files are removed.
Recovery SetAsideJournal(const std::string& path, const std::string& why);

// Copies the patches of the valid journal of `path` over `image` (the file's
// bytes as read): the image the file holds once the journal is applied.
// False when there is no valid journal.
bool OverlayJournal(const std::string& path, void* image, uint64_t imageSize);

// Reads up to `size` bytes of `path` over `dest`. Stretches that are zero in
// the file (or holes) are not copied: memory that is already zero stays
// uncommitted, so an empty 276 MB log costs almost no memory. Returns the bytes
// the file held (clamped to size), or -1 with errno set: ENOENT when there is
// no such file, kNotRegularFile for anything but a regular file (opened
// without blocking, so a FIFO cannot stall the caller), or the error of the
// open or of a read (`dest` then holds what was read before it).
int64_t ReadFileImage(const std::string& path, void* dest, size_t size);
// The same from byte `offset` of the file on (the file's bytes after a header).
int64_t ReadFileImageAt(const std::string& path, uint64_t offset, void* dest, size_t size);

// Called at the stages of a save (tests stop a child process there):
// 1 journal written but not yet in place, 2 journal in place, 3 some patches
// applied, 4 temporary image written but not yet renamed.
extern void (*g_FileImageStageHook)(int stage);

// A fault-injection seam over every system call of this file that changes or
// reads the disk. Inert until a test arms it; the program never does.
namespace iofault {
enum Op : unsigned {
    kOpenWrite = 1,  // open for writing (creating a file)
    kWrite = 2,      // pwrite (a failing one writes half its bytes first, as a full disk does)
    kTruncate = 4,
    kSync = 8,  // fdatasync of a file, fsync of a folder
    kRename = 16,
    kUnlink = 32,
    kRead = 64,  // open for reading, pread
};
constexpr unsigned kWriteSide = kOpenWrite | kWrite | kTruncate | kSync | kRename | kUnlink;

// From the n-th (from 1) call among `ops` on, fail with `err`: only that call,
// or, when `sticky`, every later one too (a disk that stays full). With
// `onlyFile`, only calls on files of that name (no folder) count.
void Arm(int n, int err, unsigned ops = kWriteSide, bool sticky = false, const std::string& onlyFile = {});
void Disarm();
// Calls among the armed ops since Arm, each as "<op> <file name>".
const std::vector<std::string>& Trace();
bool Fired();
}  // namespace iofault

// The store's private anonymous mapping, whose pages read zero until written:
// whole-image saves skip the stretches of it that were never touched without
// reading them.
void SetZeroFilledMapping(const void* base, size_t size);

// Sets a memory range to zero, returning whole pages to the system.
void ZeroRange(void* p, size_t size);

// FNV-1a, 64 bits: tells a complete journal or an unchanged record from a
// damaged or changed one. Chain calls by passing the previous value.
uint64_t Fnv1a(const void* data, size_t size, uint64_t h = 0xcbf29ce484222325ULL);

// True when every byte of the range is zero.
bool IsZero(const void* p, size_t size);

}  // namespace emtask
