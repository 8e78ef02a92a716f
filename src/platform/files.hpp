#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace orvane {

// What tells one version of a file from the next without reading it.
struct FileStamp {
    std::uint64_t size = 0;
    std::int64_t lastWrite = 0;  // in the system's own units
    // Counts the changes seen in the file's folder: a file copied over
    // another keeps its size and its source's time, but not this.
    std::uint64_t folderChanges = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // True for an existing file; a folder of that name does not count.
    virtual bool fileExists(const std::wstring& path) const = 0;
    // The size and last write time of an existing file, and the changes seen
    // in its folder so far; nothing for a folder or a missing file.
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
