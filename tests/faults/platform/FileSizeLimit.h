#pragma once

#include <QtGlobal>

// POSIX only. While it lives, no file of this process may grow beyond the given size
// (RLIMIT_FSIZE), and SIGXFSZ is ignored, so a write past the limit fails with "File too
// large" instead of ending the process: the file system filling up under the tool, which
// works as root too, where permissions do not stop writes.
class FileSizeLimit {
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool isActive() const { return active_; }

private:
    bool active_ = false;
    quint64 previousSoft_ = 0;
    void (*previousHandler_)(int) = nullptr;
};
