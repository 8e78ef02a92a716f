#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace orvane {

// What tells one version of a file from the next without reading it.
struct FileStamp {
    std::uint64_t size = 0;
    std::int64_t lastWrite = 0;  // in the system's own units
    // When anything about the file last changed, its contents above all: a
    // file copied over another keeps its size and its source's write time,
    // but not this. Zero where the volume keeps no such time.
    std::int64_t lastChange = 0;
    // Where it keeps none, the changes seen in the file's folder so far.
    std::uint64_t folderChanges = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // True for an existing file; a folder of that name does not count.
    virtual bool fileExists(const std::wstring& path) const = 0;
    // The size, last write and last change times of an existing file;
    // nothing for a folder or a missing file. Asks nothing of the file
    // itself: one that another program holds has its stamp.
    virtual std::optional<FileStamp> fileStamp(const std::wstring& path) const = 0;
    // False when the user may not write the file: a protected folder, a
    // read-only medium or file. Leaves nothing behind: an existing file is
    // only opened for writing; for a missing one, a file of a name nobody
    // uses is created in its folder and goes when closed. A file another
    // program holds for the moment can be written.
    virtual bool canWrite(const std::wstring& path) const = 0;
    // The folder (ending with the path separator), made with those above it
    // as needed; false when it cannot be had.
    virtual bool makeFolder(const std::wstring& folder) = 0;
};

}  // namespace orvane
