#include "document/plugin_library.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

CPluginLibrary::CPluginLibrary(const char* fileName) {
    const std::string folder = ProgramFolder();
    if (!folder.empty()) {
        for (const char* below : {"", ORVIK_PRIVATE_LIBRARY_DIR "/"}) {
            if (!m_handle) m_handle = dlopen((folder + below + fileName).c_str(), RTLD_NOW | RTLD_LOCAL);
        }
    }
    if (!m_handle) m_handle = dlopen(fileName, RTLD_NOW | RTLD_LOCAL);
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
