#include "file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <istream>
#include <iterator>
#include <ostream>
#include <vector>

namespace {

std::string Failure(const char* what, const std::string& path, int error) {
    return std::string(what) + " " + path + ": " + std::strerror(error);
}

bool WriteAll(int descriptor, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = write(descriptor, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// The file a chain of symbolic links ends at (path itself when it is no link), so that the rename
// replaces that file and not the link. False, with errno set, for a loop.
bool FollowLinks(std::string& path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat status {};
        if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return true;
        std::vector<char> target(static_cast<std::size_t>(status.st_size > 0 ? status.st_size : 4095) + 1);
        const ssize_t n = readlink(path.c_str(), target.data(), target.size());
        if (n < 0) return false;
        std::string next(target.data(), static_cast<std::size_t>(n));
        const std::size_t slash = path.rfind('/');
        if (next.rfind('/', 0) != 0 && slash != std::string::npos) next = path.substr(0, slash + 1) + next;
        path = next;
    }
    errno = ELOOP;
    return false;
}

bool InGroup(gid_t group) {
    if (group == getegid()) return true;
    const int count = getgroups(0, nullptr);
    std::vector<gid_t> groups(static_cast<std::size_t>(count > 0 ? count : 0));
    if (count > 0 && getgroups(count, groups.data()) == count) {
        for (gid_t member : groups) {
            if (member == group) return true;
        }
    }
    return false;
}

// Whether the permission bits let the effective user write the file. Root may write anything, but
// a file without any write bit is one its owner meant to keep: it is refused to root as well.
bool MayWrite(const struct stat& status) {
    const uid_t user = geteuid();
    if (user == 0) return (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    if (status.st_uid == user) return (status.st_mode & S_IWUSR) != 0;
    if (InGroup(status.st_gid)) return (status.st_mode & S_IWGRP) != 0;
    return (status.st_mode & S_IWOTH) != 0;
}

// Devices and pipes cannot be renamed over: they are written as they are.
bool WriteInPlace(const std::string& path, const std::string& text, std::string& error) {
    const int descriptor = open(path.c_str(), O_WRONLY | O_TRUNC);
    if (descriptor < 0) {
        error = Failure("cannot write", path, errno);
        return false;
    }
    const bool written = WriteAll(descriptor, text);
    const int writeErrno = errno;
    if (close(descriptor) != 0 || !written) {
        error = Failure("cannot write", path, written ? errno : writeErrno);
        return false;
    }
    return true;
}

// existing: the file replaced, whose permissions and owner the new one takes; null for a new file.
bool ReplaceAtomically(const std::string& path, const std::string& text, const struct stat* existing,
                       std::string& error) {
    // The temporary file lies in the same directory, so that the rename never crosses file systems.
    std::string temporary = path + ".XXXXXX";
    const int descriptor = mkstemp(temporary.data());
    if (descriptor < 0) {
        error = Failure("cannot create a file beside", path, errno);
        return false;
    }
    bool complete = WriteAll(descriptor, text) && fsync(descriptor) == 0;
    if (complete && existing != nullptr) {
        // Root writing another user's file leaves it theirs; anyone else can only own what they write.
        if (geteuid() == 0) complete = fchown(descriptor, existing->st_uid, existing->st_gid) == 0;
        complete = complete && fchmod(descriptor, existing->st_mode & 07777) == 0;
    } else if (complete) {
        // mkstemp makes the file readable by its owner only; a new file gets the usual permissions.
        const mode_t mask = umask(0);
        umask(mask);
        complete = fchmod(descriptor, 0666 & ~mask) == 0;
    }
    int problem = complete ? 0 : errno;
    if (close(descriptor) != 0 && complete) {
        complete = false;
        problem = errno;
    }
    if (complete && std::rename(temporary.c_str(), path.c_str()) != 0) {
        complete = false;
        problem = errno;
    }
    if (!complete) {
        error = Failure("cannot write", path, problem != 0 ? problem : EIO);
        std::remove(temporary.c_str());
    }
    return complete;
}

}  // namespace

bool ReadInputFile(const std::string& path, std::istream& in, std::string& text, std::string& error) {
    if (path != "-") return ReadWholeFile(path, text, error);
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) error = "cannot read standard input";
    return !in.bad();
}

bool ReadWholeFile(const std::string& path, std::string& text, std::string& error) {
    const int descriptor = open(path.c_str(), O_RDONLY);
    if (descriptor < 0) {
        error = Failure("cannot read", path, errno);
        return false;
    }
    struct stat status {};
    int problem = fstat(descriptor, &status) != 0 ? errno : S_ISDIR(status.st_mode) ? EISDIR : 0;
    text.clear();
    char buffer[65536];
    while (problem == 0) {
        const ssize_t n = read(descriptor, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) problem = errno;
        if (n <= 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    close(descriptor);
    if (problem != 0) error = Failure("cannot read", path, problem);
    return problem == 0;
}

bool IsStandardOutput(const std::string& path) {
    struct stat named {}, output {};
    return path == "-" || (stat(path.c_str(), &named) == 0 && fstat(STDOUT_FILENO, &output) == 0 &&
                           named.st_dev == output.st_dev && named.st_ino == output.st_ino);
}

bool WriteOutputFile(const std::string& path, const std::string& text, std::ostream& out, std::string& error) {
    if (!IsStandardOutput(path)) return WriteWholeFile(path, text, error);
    if (out.write(text.data(), static_cast<std::streamsize>(text.size())) && out.flush()) return true;
    error = "cannot write standard output";
    return false;
}

bool WriteWholeFile(const std::string& path, const std::string& text, std::string& error) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        if (errno != ENOENT) {
            error = Failure("cannot write", path, errno);
            return false;
        }
        std::string target = path;  // a new file, or one a dangling link names
        if (!FollowLinks(target)) {
            error = Failure("cannot write", path, errno);
            return false;
        }
        return ReplaceAtomically(target, text, nullptr, error);
    }
    if (S_ISDIR(status.st_mode) || !MayWrite(status)) {
        error = Failure("cannot write", path, S_ISDIR(status.st_mode) ? EISDIR : EACCES);
        return false;
    }
    if (!S_ISREG(status.st_mode)) return WriteInPlace(path, text, error);
    std::string target = path;
    if (!FollowLinks(target)) {
        error = Failure("cannot write", path, errno);
        return false;
    }
    return ReplaceAtomically(target, text, &status, error);
}
