// Replacing a file on POSIX systems: a temporary file beside the target, fsync, rename,
// so that a failed save never leaves a half-written roster behind.
#include "file_replace.h"
#include "file_replace_detail.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brevorn {

namespace {

// Linux gives up on link chains longer than this too.
constexpr int MaxLinkHops = 40;

RosterError saveError(const std::string& path, const std::string& reason)
{
    return RosterError{"cannot save " + quotedPath(path) + ": " + reason, {}};
}

std::string reasonOf(int error)
{
    return std::strerror(error);
}

// A descriptor that is closed on every way out; close() reports what closing said.
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd)
        : m_fd(fd)
    {
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { close(); }

    int get() const { return m_fd; }

    // 0, or the errno of a failed close. A failed close is not retried: on Linux the
    // descriptor is gone either way.
    int close()
    {
        if (m_fd < 0)
            return 0;
        int result = ::close(m_fd);
        m_fd = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int m_fd;
};

std::string folderOf(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string joinPath(const std::string& folder, const std::string& name)
{
    return folder.ends_with('/') ? folder + name : folder + "/" + name;
}

// Writes every byte, going on after partial writes and interrupted calls. 0 or errno.
int writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

// 0 or errno.
int readWholeFile(const std::string& path, std::string& out)
{
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0)
        return errno;
    out.clear();
    char buffer[65536];
    for (;;) {
        ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (got == 0)
            break;
        out.append(buffer, static_cast<std::size_t>(got));
    }
    return file.close();
}

Expected<void> checkReadBack(const std::string& path, const std::string& actualPath, std::string_view bytes)
{
    std::string onDisk;
    if (int error = readWholeFile(actualPath, onDisk))
        return saveError(path, "reading the file back failed: " + reasonOf(error));
    if (onDisk != bytes)
        return saveError(path, "the file read back differs from what was written");
    return {};
}

// The file that saving to path really changes: symbolic links are followed one hop at
// a time, a relative link counting from the folder that holds it.
struct Target
{
    std::string path;
    bool exists = false;
    struct stat status = {};
};

int resolveTarget(const std::string& path, Target& target)
{
    std::string current = path;
    for (int hop = 0; hop <= MaxLinkHops; ++hop) {
        struct stat status;
        if (::lstat(current.c_str(), &status) != 0) {
            if (errno != ENOENT)
                return errno;
            // Not there yet (possibly the end of a dangling link): it will be created.
            target.path = current;
            return 0;
        }
        if (!S_ISLNK(status.st_mode)) {
            target.path = current;
            target.exists = true;
            target.status = status;
            return 0;
        }
        std::vector<char> link(static_cast<std::size_t>(status.st_size > 0 ? status.st_size : 255) + 1);
        ssize_t length = ::readlink(current.c_str(), link.data(), link.size());
        if (length < 0)
            return errno;
        if (static_cast<std::size_t>(length) == link.size())
            return ENAMETOOLONG; // the link grew between lstat and readlink
        std::string next(link.data(), static_cast<std::size_t>(length));
        current = next.starts_with('/') ? next : joinPath(folderOf(current), next);
    }
    return ELOOP;
}

// The umask can only be read by setting it, so it is put back at once.
mode_t currentUmask()
{
    mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// For a folder that refuses new files: the file is truncated and written where it is.
// Not atomic, which the message of a failure says.
Expected<void> writeInPlace(const std::string& path, const Target& target, std::string_view bytes)
{
    auto fail = [&](int error) {
        return saveError(path, reasonOf(error) + " (the file was being written in place and may be incomplete)");
    };
    FileDescriptor file(::open(target.path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
    if (file.get() < 0)
        return saveError(path, reasonOf(errno));
    if (int error = writeAll(file.get(), bytes))
        return fail(error);
    if (::fsync(file.get()) != 0)
        return fail(errno);
    if (int error = file.close())
        return fail(error);
    return checkReadBack(path, target.path, bytes);
}

} // namespace

namespace detail {

Expected<void> replaceFileContents(const std::filesystem::path& file, std::string_view bytes, MakeTempFile makeTempFile)
{
    const std::string path = file.string();
    if (path.empty())
        return saveError(path, "no file name was given");

    Target target;
    if (int error = resolveTarget(path, target))
        return saveError(path, reasonOf(error));
    if (target.exists && S_ISDIR(target.status.st_mode))
        return saveError(path, reasonOf(EISDIR));
    if (target.exists && !S_ISREG(target.status.st_mode))
        return saveError(path, "not a regular file");

    // Beside the target, so that the rename stays within one file system.
    std::string folder = folderOf(target.path);
    std::string hiddenName = nameOf(target.path);
    hiddenName.insert(0, 1, '.');
    std::string pattern = joinPath(folder, hiddenName.append(".XXXXXX"));
    std::vector<char> tempName(pattern.begin(), pattern.end());
    tempName.push_back('\0');
    FileDescriptor temp(makeTempFile(tempName.data()));
    if (temp.get() < 0) {
        int error = errno;
        if (target.exists && (error == EACCES || error == EPERM || error == EROFS))
            return writeInPlace(path, target, bytes);
        return saveError(path, reasonOf(error));
    }
    const std::string tempPath(tempName.data());

    auto fail = [&](int error) {
        temp.close();
        ::unlink(tempPath.c_str());
        return saveError(path, reasonOf(error));
    };

    // mkstemp makes the file 0600; the saved file gets what the old one had, or what a
    // newly created file would get.
    mode_t mode = target.exists ? (target.status.st_mode & 07777) : (0666 & ~currentUmask());
    if (target.exists) {
        // Only a privileged user may hand a file to another owner; otherwise it stays ours.
        [[maybe_unused]] int ignored = ::fchown(temp.get(), target.status.st_uid, target.status.st_gid);
    }
    if (::fchmod(temp.get(), mode) != 0)
        return fail(errno);
    if (int error = writeAll(temp.get(), bytes))
        return fail(error);
    if (::fsync(temp.get()) != 0)
        return fail(errno);
    if (int error = temp.close())
        return fail(error);
    if (::rename(tempPath.c_str(), target.path.c_str()) != 0)
        return fail(errno);

    // The rename itself is only durable once the folder is flushed. Some file systems
    // cannot flush a folder and say EINVAL; there is nothing more to do on those.
    FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0 || (::fsync(dir.get()) != 0 && errno != EINVAL))
        return saveError(path, "the new contents are in place, but flushing the folder failed: " + reasonOf(errno));

    return checkReadBack(path, target.path, bytes);
}

} // namespace detail

Expected<void> replaceFileContents(const std::filesystem::path& path, std::string_view bytes)
{
    return detail::replaceFileContents(path, bytes, ::mkstemp);
}

} // namespace brevorn
