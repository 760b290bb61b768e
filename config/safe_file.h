#pragma once
#include <string>
#include <string_view>

// Whole-file reads and crash-safe whole-file replacement, on POSIX calls.
namespace kvel {

// Reads the whole file into bytes. Returns 0, or the errno of the failing call (ENOENT when the
// file does not exist).
int readWholeFile(const std::string& path, std::string& bytes);

// Writes bytes to a temporary file beside path, flushes it to the disk and renames it over path,
// so that path always holds either the old or the new content in full. A symbolic link at path
// is followed and its target replaced; the old file's permissions are kept. A file this user may
// not write, or one without any write bit (read-only even to root), is not replaced: EACCES. On
// failure the temporary file is removed and the errno of the failing call is returned; 0 on
// success.
int replaceFile(const std::string& path, std::string_view bytes);

// replaceFile for content made piece by piece (an export of millions of lines, never held
// whole): the pieces go to the temporary file as they come, and commit() flushes it and renames
// it over path. Until then path keeps its old content; a replacement dropped without commit (a
// failure, a cancelled export) removes its temporary file and leaves path untouched.
class FileReplacement {
  public:
    explicit FileReplacement(const std::string& path);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // 0, or the errno of the first call that failed; after a failure nothing more is written.
    int error() const { return error_; }
    void write(std::string_view bytes);
    // Returns error(), 0 once path holds what was written.
    int commit();

  private:
    std::string target_;
    std::string temp_;
    int fd_ = -1;
    int error_ = 0;
};

// Writes all of `text` at the end of the open file (opened with O_APPEND), or cuts the file
// back to its old length and fails: a line is never left half-written.
bool appendWhole(int fd, std::string_view text);

// Removes the temporary files that an interrupted replaceFile of path left beside it (path,
// ".", six random letters and digits), once they have not changed for a minute: a replacement
// under way, by this or another process, takes far less.
void removeStaleTemporaries(const std::string& path);

}  // namespace kvel
