#include "document/plugin_library.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

CPluginLibrary::CPluginLibrary(const char* fileName) {
    // A file that is there but does not load leaves the loader's reason; a later place may still
    // hold one that loads.
    const auto load = [this](const char* path, bool known) {
        m_handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
        const char* error = m_handle ? nullptr : dlerror();
        // On the search path only the loader knows whether there is such a file at all.
        if (error && m_loadError.empty() && (known || !std::strstr(error, std::strerror(ENOENT))))
            m_loadError = error;
    };
    const std::string folder = ProgramFolder();
    if (!folder.empty()) {
        for (const char* below : {"", ORVIK_PRIVATE_LIBRARY_DIR "/"}) {
            const std::string path = folder + below + fileName;
            if (!m_handle && access(path.c_str(), F_OK) == 0) load(path.c_str(), true);
        }
    }
    if (!m_handle) load(fileName, false);
    if (m_handle) m_loadError.clear();
}

CPluginLibrary::~CPluginLibrary() {
    if (m_handle) dlclose(m_handle);
}

void* CPluginLibrary::RawSymbol(const char* name) const {
    return m_handle ? dlsym(m_handle, name) : nullptr;
}

std::string CPluginLibrary::ProgramFolder() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return {};
    std::string result(path, static_cast<size_t>(n));
    const size_t slash = result.find_last_of('/');
    return slash == std::string::npos ? std::string{} : result.substr(0, slash + 1);
}
