// A plug-in library (the codec or the colour-reduction library) loaded for one operation: from the
// program's own folder first, then from the private library folder of an installed program (found
// from the program's folder, so an installed tree may be moved as a whole), then from the library
// search path; released when the object goes.
#pragma once

#include <string>

class CPluginLibrary {
public:
    explicit CPluginLibrary(const char* fileName);
    ~CPluginLibrary();
    CPluginLibrary(const CPluginLibrary&) = delete;
    CPluginLibrary& operator=(const CPluginLibrary&) = delete;

    bool IsLoaded() const { return m_handle != nullptr; }
    // Why a library that is there could not be loaded, in the loader's words (which name the
    // file); empty when it loaded or when no file of that name was found.
    const std::string& LoadError() const { return m_loadError; }

    // The exported function `name`, or null when the library lacks it.
    template <class Function>
    Function Symbol(const char* name) const {
        return reinterpret_cast<Function>(RawSymbol(name));
    }

    // The folder that holds the running program, with a trailing '/'; empty when unknown.
    static std::string ProgramFolder();

private:
    void* RawSymbol(const char* name) const;
    void* m_handle = nullptr;
    std::string m_loadError;
};
