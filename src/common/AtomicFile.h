#pragma once
#include <cstdio>
#include <string>

// A file written under a temporary name in the target's folder and renamed
// over the target only when complete: a failure leaves neither a partial file
// nor a lost previous one. Dropping it without Commit removes the temporary.
//
// A target that exists and is not a regular file (a FIFO, a terminal, a
// device such as /dev/null, reached directly or through symbolic links) is
// written directly: renaming a file over it would replace the device.
class CAtomicFile {
public:
    // Raises 58986 (the system's text, the path) when the file cannot be created.
    explicit CAtomicFile(const std::string& path);
    // Writes to an open descriptor (standard output), which stays open;
    // `name` is used in messages.
    CAtomicFile(int fd, const std::string& name);
    ~CAtomicFile();
    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;

    // The file as a buffered stream; raises 59089 when it cannot be made.
    FILE* Stream();
    // Flushes and closes the file and renames it over the target. Raises
    // 59105 when the data cannot be written out and 58986 when the target
    // cannot be replaced.
    void Commit();

    const std::string& Path() const { return m_path; }
    const std::string& TempPath() const { return m_tempPath; }
    // True when the target is written in place (not a regular file).
    bool Direct() const { return m_direct; }

private:
    void OpenDirect();
    void Discard();

    std::string m_path;    // as given, for messages
    std::string m_target;  // the file finally replaced (symbolic links followed)
    std::string m_tempPath;
    int m_fd = -1;
    FILE* m_stream = nullptr;
    bool m_replacing = false;
    bool m_direct = false;
    unsigned m_mode = 0666;
};
