// How store members reach the disk. A file always equals a member's byte
// image; what is ours is how it gets there: every save leaves either the
// complete old image or the complete new one, whenever it is interrupted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace emtask {

// Writes `size` bytes as the whole new content of `path`: a temporary file
// beside it, flushed, then renamed over it. All-zero stretches of 1 MiB are
// left as holes. Returns false (old file untouched) when it cannot.
bool AtomicWriteFile(const std::string& path, const void* data, size_t size);

// The same for a file made of several stretches of memory laid end to end
// (a header and an image).
struct Piece {
    const void* data;
    size_t size;
};
bool AtomicWriteFile(const std::string& path, const std::vector<Piece>& pieces);

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

    // False when the temporary file cannot be created. `mode` as for open(2),
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

private:
    bool Flush();
    std::string m_Path, m_Tmp;
    int m_Fd = -1;
    bool m_Ok = false;
    uint64_t m_Offset = 0;
    std::vector<char> m_Buf;
};

// One changed stretch of a file, with its new bytes.
struct Patch {
    uint64_t offset;
    const void* data;
    uint32_t length;
};

// Changes stretches of an existing file in place, all or nothing: the new
// bytes go first to "<path>.jnl" (complete and flushed before it appears
// under that name), then into the file, and the journal is removed. A journal
// left by an interruption is completed by RecoverFile. Returns false when the
// file or the journal cannot be written; the file is then still its old image
// (or the new one, once RecoverFile has run).
bool PatchFile(const std::string& path, const std::vector<Patch>& patches);

// Completes an interrupted PatchFile on `path` (a valid journal is applied, a
// damaged one discarded). Called before every load and save of a patched file.
void RecoverFile(const std::string& path);

// Reads up to `size` bytes of `path` over `dest`. Stretches that are zero in
// the file (or holes) are not copied: memory that is already zero stays
// uncommitted, so an empty 276 MB log costs almost no memory. Returns the bytes
// the file held (clamped to size), or -1 when it cannot be opened.
int64_t ReadFileImage(const std::string& path, void* dest, size_t size);
// The same from byte `offset` of the file on (the file's bytes after a header).
int64_t ReadFileImageAt(const std::string& path, uint64_t offset, void* dest, size_t size);

// Called at the stages of a save (tests stop a child process there):
// 1 journal written but not yet in place, 2 journal in place, 3 some patches
// applied, 4 temporary image written but not yet renamed.
extern void (*g_FileImageStageHook)(int stage);

// Sets a memory range to zero, returning whole pages to the system.
void ZeroRange(void* p, size_t size);

// FNV-1a, 64 bits: tells a complete journal or an unchanged record from a
// damaged or changed one. Chain calls by passing the previous value.
uint64_t Fnv1a(const void* data, size_t size, uint64_t h = 0xcbf29ce484222325ULL);

// True when every byte of the range is zero.
bool IsZero(const void* p, size_t size);

}  // namespace emtask
