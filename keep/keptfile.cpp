#include "keep/keptfile.h"

#include "base/log.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kSource = "KeptFile";

std::string lastError() {
    return std::strerror(errno);
}

std::string parentOf(const std::string& path) {
    const std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// Makes the folder and its missing parents.
bool makeFolders(const std::string& folder) {
    for (std::string::size_type at = 1; at != std::string::npos;) {
        at = folder.find('/', at + 1);
        const std::string part = folder.substr(0, at);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
    }
    return true;
}

// Closes the descriptor whatever happens to the write.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd(fd) {}
    ~Descriptor() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd; }
    // Closes now, so that its error is seen.
    bool close() {
        const int result = ::close(fd);
        fd = -1;
        return result == 0;
    }

private:
    int fd;
};

bool writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

namespace KeptFile {

std::string folder(const char* xdgValue, const char* home, const char* fallback) {
    // A relative XDG folder is ignored, as the desktop does: it would follow
    // the working directory.
    if (xdgValue != nullptr && xdgValue[0] == '/') {
        return std::string(xdgValue) + "/sporrik";
    }
    if (home != nullptr && home[0] == '/') {
        return std::string(home) + "/" + fallback + "/sporrik";
    }
    return std::string();
}

Contents read(const std::string& path, std::size_t maxSize) {
    Contents contents;
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) {
        if (errno != ENOENT) {
            contents.status = Contents::Status::Refused;
            contents.reason = "cannot be opened: " + lastError();
        }
        return contents;
    }
    contents.status = Contents::Status::Refused;
    // Asked of the open file, so that what is read is what was measured.
    struct stat status {};
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        contents.reason = "not a regular file";
        return contents;
    }
    if (static_cast<unsigned long long>(status.st_size) > maxSize) {
        contents.reason = "larger than " + std::to_string(maxSize) + " bytes";
        return contents;
    }
    // One byte more than measured shows a file that grew meanwhile.
    const auto size = static_cast<std::size_t>(status.st_size);
    std::string text(size + 1, '\0');
    std::size_t length = 0;
    while (length < text.size()) {
        const ssize_t n = ::read(file.get(), &text[length], text.size() - length);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            contents.reason = "cannot be read: " + lastError();
            return contents;
        }
        if (n == 0) {
            break;
        }
        length += static_cast<std::size_t>(n);
    }
    if (length > size) {
        contents.reason = "changed while it was read";
        return contents;
    }
    text.resize(length);
    contents.text = std::move(text);
    contents.status = Contents::Status::Read;
    return contents;
}

bool write(const std::string& path, const std::string& text) {
    const std::string folder = parentOf(path);
    std::string temporary = path + ".XXXXXX";
    const auto fail = [&](const std::string& what, bool made) {
        const std::string reason = lastError();
        if (made) {
            ::unlink(temporary.c_str());
        }
        log(WARNING, kSource, path + " not written (" + what + ": " + reason + "); the old file is kept");
        return false;
    };
    if (!makeFolders(folder)) {
        return fail("folder " + folder, false);
    }
    Descriptor file(::mkstemp(temporary.data()));
    if (file.get() < 0) {
        return fail("temporary file", false);
    }
    if (!writeAll(file.get(), text)) {
        return fail("write", true);
    }
    if (::fsync(file.get()) != 0) {
        return fail("flush", true);
    }
    if (!file.close()) {
        return fail("close", true);
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        return fail("rename", true);
    }
    // The rename itself reaches the disk with the folder's entry.
    const Descriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() >= 0) {
        ::fsync(directory.get());
    }
    return true;
}

void refuse(const std::string& path, const std::string& reason) {
    const std::string kept = path + ".bad";
    log(WARNING, kSource, path + " refused: " + reason);
    if (std::rename(path.c_str(), kept.c_str()) == 0) {
        log(WARNING, kSource, "kept as " + kept + "; starting without it");
    } else {
        log(WARNING, kSource, "could not keep it as " + kept + ": " + lastError());
    }
}

void remove(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
        log(WARNING, kSource, path + " not removed: " + lastError());
    }
}

} // namespace KeptFile
