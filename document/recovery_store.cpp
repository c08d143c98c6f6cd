#include "document/recovery_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <map>
#include <random>
#include <system_error>

namespace {

constexpr char kSuffix[] = ".orvikrec";
constexpr char kTemporarySuffix[] = ".orvikrec.tmp";
constexpr char kLockSuffix[] = ".lock";
constexpr char kNewLockSuffix[] = ".lock.new";
constexpr time_t kNewLockSeconds = 60;  // a lock still being made is renamed within microseconds

bool EndsWith(const std::string& text, const char* suffix) {
    const std::string end(suffix);
    return text.size() > end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The owner's id of a file named "<id>-<number><suffix>"; empty for any other name.
std::string OwnerOf(const std::string& name, const char* suffix) {
    if (!EndsWith(name, suffix)) return {};
    const std::string stem = name.substr(0, name.size() - std::string(suffix).size());
    const size_t dash = stem.rfind('-');
    if (dash == std::string::npos || dash == 0 || dash + 1 == stem.size()) return {};
    if (!std::all_of(stem.begin() + static_cast<ptrdiff_t>(dash) + 1, stem.end(),
                     [](char c) { return c >= '0' && c <= '9'; }))
        return {};
    return stem.substr(0, dash);
}

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return names;
    while (const dirent* entry = readdir(dir))
        names.emplace_back(entry->d_name);
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

// Makes `path` and its missing parents with mode 0700; the last one is made private if it exists.
bool MakeFolder(const std::string& path, int* error) {
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            *error = errno;
            return false;
        }
        if (slash == std::string::npos) break;
    }
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        *error = errno ? errno : ENOTDIR;
        return false;
    }
    if ((info.st_mode & 0777) != 0700 && chmod(path.c_str(), 0700) != 0) {
        *error = errno;
        return false;
    }
    return true;
}

std::string NewId() {
    std::random_device device;
    const uint64_t value = uint64_t{device()} << 32 | device();
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

// Whether the lock at `path` is held by a running program.
bool Held(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    // A lock that cannot be asked about (a file system without locks) counts as held too: files are
    // never taken from under a program that may be running.
    const bool held = flock(fd, LOCK_SH | LOCK_NB) != 0;
    close(fd);  // and with it the lock just taken, if it was free
    return held;
}

}  // namespace

CRecoveryStore::CRecoveryStore(std::string folder) : m_folder(std::move(folder)), m_id(NewId()) {}

CRecoveryStore::~CRecoveryStore() {
    if (m_lock >= 0) close(m_lock);
}

bool CRecoveryStore::Open(std::string* error) {
    if (m_lock >= 0) return true;
    int failure = 0;
    if (!MakeFolder(m_folder, &failure)) {
        *error = std::system_category().message(failure);
        return false;
    }
    // Locked under a name no one looks at, then renamed: a lock file others can see is always held.
    const std::string made = m_folder + "/" + m_id + kNewLockSuffix;
    const int fd = open(made.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        *error = std::system_category().message(errno);
        return false;
    }
    const std::string pid = std::to_string(getpid()) + "\n";
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 || write(fd, pid.data(), pid.size()) < 0 ||
        rename(made.c_str(), (m_folder + "/" + m_id + kLockSuffix).c_str()) != 0) {
        *error = std::system_category().message(errno);
        close(fd);
        unlink(made.c_str());
        return false;
    }
    m_lock = fd;
    return true;
}

std::string CRecoveryStore::PathFor(int number) const {
    return m_folder + "/" + m_id + "-" + std::to_string(number) + kSuffix;
}

bool CRecoveryStore::Running(const std::string& id) const {
    return id == m_id || Held(m_folder + "/" + id + kLockSuffix);
}

std::vector<std::string> CRecoveryStore::Orphans() const {
    std::vector<std::string> orphans;
    std::map<std::string, bool> running;
    for (const std::string& name : Names(m_folder)) {
        const std::string owner = OwnerOf(name, kSuffix);
        if (owner.empty()) continue;
        const auto known = running.find(owner);
        const bool alive = known != running.end() ? known->second : (running[owner] = Running(owner));
        if (!alive) orphans.push_back(m_folder + "/" + name);
    }
    return orphans;
}

bool CRecoveryStore::Claim(const std::string& orphan, int number) const {
    return m_lock >= 0 && rename(orphan.c_str(), PathFor(number).c_str()) == 0;
}

void CRecoveryStore::Tidy() const {
    const std::vector<std::string> names = Names(m_folder);
    const auto path = [this](const std::string& name) { return m_folder + "/" + name; };
    const auto hasFiles = [&names](const std::string& id) {
        return std::any_of(names.begin(), names.end(),
                           [&id](const std::string& name) { return OwnerOf(name, kSuffix) == id; });
    };
    for (const std::string& name : names) {
        const std::string unfinished = OwnerOf(name, kTemporarySuffix);
        if (!unfinished.empty() && !Running(unfinished)) unlink(path(name).c_str());
        if (EndsWith(name, kNewLockSuffix)) {
            struct stat info {};
            if (stat(path(name).c_str(), &info) == 0 && info.st_mtime + kNewLockSeconds < std::time(nullptr) &&
                !Held(path(name)))
                unlink(path(name).c_str());
        } else if (EndsWith(name, kLockSuffix)) {
            const std::string id = name.substr(0, name.size() - std::string(kLockSuffix).size());
            if (!Running(id) && !hasFiles(id)) unlink(path(name).c_str());
        }
    }
}

void CRecoveryStore::Close() {
    if (m_lock < 0) return;
    unlink((m_folder + "/" + m_id + kLockSuffix).c_str());
    close(m_lock);
    m_lock = -1;
}
