// Replacing a file on POSIX systems: a temporary file beside the target, fsync, rename,
// so that a failed save never leaves a half-written roster behind.
#include "file_replace.h"
#include "file_replace_detail.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#if defined(__linux__)
#include <sys/xattr.h>
#endif

namespace brevorn {

namespace {

// Linux gives up on link chains longer than this too.
constexpr int MaxLinkHops = 40;

// Temporary files are ".brevorn-" with 8 hex digits and ".tmp": short enough to sit beside a
// file of any name, and known to later saves, which remove those whose save has died.
constexpr std::string_view TempPrefix = ".brevorn-";
constexpr std::string_view TempSuffix = ".tmp";
constexpr std::size_t TempDigits = 8;

// The folder is reached through a descriptor that needs no right to read it.
#if defined(O_PATH)
constexpr int FolderFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;
#else
constexpr int FolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif

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

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
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

bool isTemporaryName(std::string_view name)
{
    return name.size() == TempPrefix.size() + TempDigits + TempSuffix.size() && name.starts_with(TempPrefix) &&
           name.ends_with(TempSuffix);
}

// Removes the temporary files of saves that were killed before they were done. A save
// holds a lock on its temporary file until the file is in place, so one whose lock can
// be had belongs to no running save. A folder that cannot be listed is left as it is.
void removeAbandonedTemporaryFiles(int folder)
{
    int listingFd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listingFd < 0)
        return;
    DIR* listing = ::fdopendir(listingFd);
    if (!listing) {
        ::close(listingFd);
        return;
    }
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(listing)) {
        if (isTemporaryName(entry->d_name))
            names.emplace_back(entry->d_name);
    }
    ::closedir(listing);

    for (const std::string& name : names) {
        FileDescriptor file(::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat opened, named;
        if (file.get() < 0 || ::fstat(file.get(), &opened) != 0 || !S_ISREG(opened.st_mode) ||
            ::flock(file.get(), LOCK_EX | LOCK_NB) != 0)
            continue;
        if (::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && sameFile(opened, named))
            ::unlinkat(folder, name.c_str(), 0);
    }
}

// A temporary file of its own in the folder, opened for writing, and a second descriptor
// that holds its lock while the first is closed and checked. The write descriptor is -1,
// with errno set, when none could be made.
struct TemporaryFile
{
    std::string name;
    int write = -1;
    int lock = -1;
};

TemporaryFile createTemporaryFile(int folder, mode_t mode)
{
    static constexpr char digits[] = "0123456789abcdef";
    std::mt19937_64 random(std::random_device{}() ^ static_cast<std::uint64_t>(::getpid()) ^
                           static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    TemporaryFile temp;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp.name = TempPrefix;
        std::uint64_t bits = random();
        for (std::size_t i = 0; i < TempDigits; ++i, bits >>= 4)
            temp.name += digits[bits & 0xF];
        temp.name += TempSuffix;

        temp.write = ::openat(folder, temp.name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (temp.write < 0) {
            if (errno == EEXIST)
                continue;
            return temp;
        }
        // Locked at once; where the file system has no locks the save goes on without.
        temp.lock = ::openat(folder, temp.name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (temp.lock >= 0) {
            while (::flock(temp.lock, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
        // Another save clearing the folder may have taken the file before the lock: then
        // the name no longer leads to it, and another is made.
        struct stat opened, named;
        if (::fstat(temp.write, &opened) == 0 &&
            ::fstatat(folder, temp.name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && sameFile(opened, named))
            return temp;
        ::close(temp.write);
        if (temp.lock >= 0)
            ::close(temp.lock);
        temp.lock = -1;
    }
    temp.write = -1;
    errno = EEXIST;
    return temp;
}

std::string userName(uid_t uid)
{
    struct passwd entry;
    struct passwd* found = nullptr;
    char buffer[4096];
    if (::getpwuid_r(uid, &entry, buffer, sizeof buffer, &found) == 0 && found)
        return found->pw_name;
    return "user " + std::to_string(uid);
}

std::string groupName(gid_t gid)
{
    struct group entry;
    struct group* found = nullptr;
    char buffer[4096];
    if (::getgrgid_r(gid, &entry, buffer, sizeof buffer, &found) == 0 && found)
        return found->gr_name;
    return "group " + std::to_string(gid);
}

// Gives the new file the old one's owner and group where the system allows it (the owner
// only for an administrator, the group for its members), and says what could not be kept.
void keepOwner(int fd, const struct stat& old, std::vector<std::string>& warnings)
{
    if (::fchown(fd, old.st_uid, old.st_gid) == 0)
        return;
    [[maybe_unused]] int ignored = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    struct stat now;
    if (::fstat(fd, &now) != 0)
        return;
    if (now.st_uid != old.st_uid)
        warnings.push_back("it now belongs to " + userName(now.st_uid) + " instead of " + userName(old.st_uid) +
                           ": only an administrator can save a file that stays another user's");
    if (now.st_gid != old.st_gid)
        warnings.push_back("its group is now " + groupName(now.st_gid) + " instead of " + groupName(old.st_gid) +
                           ", a group the saving user is not a member of");
}

// What keeping the old file's extended attributes came to.
struct AttributesKept
{
    // What stopped them from being kept, worded for the user; empty when all were.
    std::string failure;
    // The file system keeps extended attributes, but this saver cannot see the trusted namespace,
    // which Linux shows only to administrators: any the old file had are not on the new one.
    bool trustedUnseen = false;
};

#if defined(__linux__)
// Whether the trusted namespace is hidden from this process. Removing an attribute from it is
// refused before the system even looks for one when the process is not an administrator.
bool trustedAttributesHidden(int fd)
{
    return ::fremovexattr(fd, "trusted.brevorn") != 0 && errno == EPERM;
}
#endif

// Copies every extended attribute of the old file that the saver can see, access lists among
// them, to the new one.
AttributesKept copyExtendedAttributes([[maybe_unused]] const std::string& from, [[maybe_unused]] int to)
{
    AttributesKept kept;
#if defined(__linux__)
    ssize_t size = ::llistxattr(from.c_str(), nullptr, 0);
    if (size < 0 && errno == ENOTSUP)
        return kept;
    std::vector<char> names(static_cast<std::size_t>(size > 0 ? size : 0));
    if (size > 0)
        size = ::llistxattr(from.c_str(), names.data(), names.size());
    if (size < 0) {
        const std::string reason = reasonOf(errno);
        kept.failure =
            "could not list the extended attributes of " + quotedPath(from) + " to keep them (" + reason + ")";
        return kept;
    }
    kept.trustedUnseen = trustedAttributesHidden(to);
    for (const char* name = names.data(); name < names.data() + size; name += std::strlen(name) + 1) {
        const auto cannotKeep = [&](int error) {
            kept.failure =
                "its extended attribute \"" + std::string(name) + "\" cannot be kept (" + reasonOf(error) + ")";
            return kept;
        };
        ssize_t length = ::lgetxattr(from.c_str(), name, nullptr, 0);
        if (length < 0)
            return cannotKeep(errno);
        std::vector<char> value(static_cast<std::size_t>(length) + 1);
        length = ::lgetxattr(from.c_str(), name, value.data(), value.size());
        if (length < 0)
            return cannotKeep(errno);
        if (::fsetxattr(to, name, value.data(), static_cast<std::size_t>(length), 0) == 0)
            continue;
        // An attribute the system sets itself (a security label) counts as kept when the
        // new file already has the old value.
        int error = errno;
        std::vector<char> now(value.size());
        if (::fgetxattr(to, name, now.data(), now.size()) != length ||
            std::memcmp(now.data(), value.data(), static_cast<std::size_t>(length)) != 0)
            return cannotKeep(error);
    }
#endif
    return kept;
}

// Why a folder marked sticky (as /tmp is) refused to let the saver replace a file in it.
std::string stickyFolderReason(const std::string& folder, uid_t fileOwner)
{
    return "the folder " + quotedPath(folder) +
           " is shared and marked sticky (as /tmp is): only a file's owner or the folder's owner may replace a file "
           "in it, and this file belongs to " +
           userName(fileOwner) +
           "; the file was left as it was; save it under another name, or ask its owner to save it";
}

} // namespace

namespace detail {

Expected<SaveOutcome> replaceFileContents(const std::filesystem::path& file, std::string_view bytes,
                                          const BeforePlacing& beforePlacing)
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

    // Everything below goes through the folder's descriptor and short names, so that a
    // long path matters no more than it does to opening the file.
    const std::string folderPath = folderOf(target.path);
    const std::string name = nameOf(target.path);
    FileDescriptor folder(::open(folderPath.c_str(), FolderFlags));
    if (folder.get() < 0)
        return saveError(path, reasonOf(errno));

    // A save changes only what its user could have written over.
    if (target.exists && ::faccessat(folder.get(), name.c_str(), W_OK, AT_EACCESS) != 0) {
        const int error = errno;
        if (error == EACCES || error == EPERM)
            return saveError(path, readOnlyFileReason());
        return saveError(path, reasonOf(error));
    }

    removeAbandonedTemporaryFiles(folder.get());
    // A new file gets what any newly created file gets; a replacement starts private and
    // takes the old file's permissions below.
    TemporaryFile created = createTemporaryFile(folder.get(), target.exists ? 0600 : 0666);
    FileDescriptor temp(created.write);
    FileDescriptor lock(created.lock);
    if (temp.get() < 0) {
        const int error = errno;
        if (target.exists && (error == EACCES || error == EPERM))
            return saveError(path, "the folder " + quotedPath(folderPath) +
                                       " does not let you add a file, which saving needs in order to replace the file "
                                       "in one step; the file was left as it was");
        return saveError(path, reasonOf(error));
    }
    auto fail = [&](const std::string& reason) {
        temp.close();
        ::unlinkat(folder.get(), created.name.c_str(), 0);
        return saveError(path, reason);
    };

    SaveOutcome outcome;
    if (target.exists) {
        keepOwner(temp.get(), target.status, outcome.warnings);
        // After the owner: changing the owner clears the set-user-ID and set-group-ID bits.
        if (::fchmod(temp.get(), target.status.st_mode & 07777) != 0)
            return fail(reasonOf(errno));
        const AttributesKept attributes = copyExtendedAttributes(target.path, temp.get());
        if (!attributes.failure.empty())
            return fail(attributes.failure + "; the file was left as it was");
        // The save cannot tell whether the file had any attributes hidden from it. Someone
        // else's file is where an administrator's are likeliest, and its save already
        // has something to say; a saver's own files go without the word.
        if (attributes.trustedUnseen && target.status.st_uid != ::geteuid())
            outcome.warnings.push_back("any trusted.* extended attributes it had are not on the new file: only an "
                                       "administrator can see those to keep them");
        if (target.status.st_nlink > 1)
            outcome.warnings.push_back(otherNamesWarning(target.status.st_nlink));
    }
    if (int error = writeAll(temp.get(), bytes))
        return fail(reasonOf(error));
    if (::fsync(temp.get()) != 0)
        return fail(reasonOf(errno));
    if (int error = temp.close())
        return fail(reasonOf(error));
    if (beforePlacing)
        beforePlacing();
    if (::renameat(folder.get(), created.name.c_str(), folder.get(), name.c_str()) != 0) {
        const int error = errno;
        struct stat folderStatus;
        const uid_t saver = ::geteuid();
        if (error == EPERM && target.exists && ::fstat(folder.get(), &folderStatus) == 0 &&
            (folderStatus.st_mode & S_ISVTX) && saver != target.status.st_uid && saver != folderStatus.st_uid)
            return fail(stickyFolderReason(folderPath, target.status.st_uid));
        return fail(reasonOf(error));
    }

    // The new contents are in place; what follows can only make the save less durable,
    // never undo it. Some file systems cannot flush a folder and say EINVAL: on those
    // there is nothing more to do.
    FileDescriptor listing(::openat(folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (listing.get() < 0 || (::fsync(listing.get()) != 0 && errno != EINVAL))
        outcome.warnings.push_back("its folder could not be flushed to disk (" + reasonOf(errno) +
                                   "), so the change may not survive a power cut");
    return outcome;
}

} // namespace detail

Expected<SaveOutcome> replaceFileContents(const std::filesystem::path& path, std::string_view bytes)
{
    return detail::replaceFileContents(path, bytes, {});
}

} // namespace brevorn
