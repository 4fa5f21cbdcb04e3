#pragma once
// The platform side of device access: opening devices, volumes and files, and
// moving bytes. Everything above this interface is platform-free; a backend
// (POSIX now, Win32 later, fakes in tests) implements it.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace quarnex {

enum class Access { Read, Write, ReadWrite };
// Replace writes a new file beside the path that takes the path's place
// only when committed; until then (and after a failure) the old file stays.
enum class Disposition { OpenExisting, CreateNew, Replace };

// Result of one platform transfer: how many bytes moved, and the system error
// when the call itself failed (0 otherwise).
struct IoResult {
    std::size_t bytes = 0;
    int error = 0;
};

class DeviceFile {
  public:
    virtual ~DeviceFile() = default;
    DeviceFile() = default;
    DeviceFile(const DeviceFile&) = delete;
    DeviceFile& operator=(const DeviceFile&) = delete;

    // Moves the file position; returns 0 or the system error.
    virtual int Seek(std::uint64_t position) = 0;
    // Transfers at the current position, looping over short transfers; a
    // result with fewer bytes than asked means the end was reached.
    virtual IoResult Read(std::byte* destination, std::size_t count) = 0;
    virtual IoResult Write(const std::byte* source, std::size_t count) = 0;
    // Puts everything written so far on the medium; 0 or the system error.
    virtual int Flush() = 0;
    // Drops the cached copy of [offset, offset + length) after a flush, so
    // the next read of it comes from the medium; 0 or the system error.
    virtual int ForgetCached(std::uint64_t offset, std::uint64_t length) = 0;
    // Flushes, and for a file opened to replace another, puts it in the
    // other's place. A replacement destroyed uncommitted is removed.
    virtual int Commit() = 0;
    // Takes the file systems on this device out of use (unmounts them);
    // a device that is not mounted succeeds at once. 0 or the system error.
    virtual int Dismount() = 0;
    // True when the medium reports 80 cylinders, 2 heads, 18 sectors of 512.
    virtual bool HasFloppyGeometry() = 0;
    virtual const std::string& Path() const = 0;
};

struct OpenResult {
    std::unique_ptr<DeviceFile> file;  // null on failure
    int error = 0;
};

struct LengthResult {
    std::optional<std::uint64_t> length;  // empty on failure
    int error = 0;
    std::uint64_t allocated = 0;  // bytes it really occupies (a sparse file's are fewer)
};

// What a path names, as a file to be written: only a regular file (or a
// link to one) may be replaced.
enum class OutputKind { Missing, File, Folder, Device, Pipe, Socket, Other };

struct OutputCheck {
    OutputKind kind = OutputKind::Missing;
    bool writable = true;                    // an existing file this user may write
    std::optional<std::uint64_t> freeBytes;  // room in its folder, when known
    int error = 0;                           // the folder cannot be examined
};

// A held lock on a whole store (device node or image file); released when
// destroyed.
class StoreLock {
  public:
    virtual ~StoreLock() = default;
    StoreLock() = default;
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;
};

// A whole-file lock for writing (held by one) or for reading (shared).
enum class LockKind { Shared, Exclusive };

struct LockResult {
    std::unique_ptr<StoreLock> lock;  // null when not taken
    int error = 0;                    // EWOULDBLOCK while another program holds it
};

// How a file stands to a store: writing it while the store is read or
// written would destroy one of them.
enum class StoreOverlap {
    None,
    SameFile,     // the store's own file, under this or another name
    SameDevice,   // the store's device (or a partition of it) under another name
    BackingFile,  // the file behind the store's loop device
    OnStore,      // lies in a file system mounted from the store
};

class DeviceBackend {
  public:
    virtual ~DeviceBackend() = default;
    DeviceBackend() = default;
    DeviceBackend(const DeviceBackend&) = delete;
    DeviceBackend& operator=(const DeviceBackend&) = delete;

    virtual OpenResult Open(const std::string& path, Access access, Disposition disposition) = 0;
    // Length of a file or device, without opening it for transfers.
    virtual LengthResult FileLength(const std::string& path) = 0;
    // Whether an ordinary file of that name exists (a directory search).
    virtual bool FileExists(const std::string& path) = 0;
    // What writing path would replace, without opening it (a pipe would block).
    virtual OutputCheck ExamineOutput(const std::string& path) = 0;
    // The system's text for an error code; empty when it has none.
    virtual std::string ErrorText(int code) = 0;
    // The number the system itself gives an error code, as its manuals list
    // it; the same number where the program counts in the system's numbers.
    virtual int SystemCode(int code) { return code; }
    // Tries, without waiting, to take the advisory whole-file lock that
    // programs writing a disk honour: exclusive for writing, shared for a
    // consistent read.
    virtual LockResult TryLock(const std::string& path, LockKind kind) = 0;
    // Whether path (which need not exist yet) overlaps the store at
    // storePath; None also when the store cannot be examined.
    virtual StoreOverlap Overlap(const std::string& path, const std::string& storePath) = 0;
};

}  // namespace quarnex
