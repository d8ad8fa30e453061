#pragma once

#include <windows.h>

#include <string>

// A module named by text (an HTML message's `srcdll`, the help program's cursor), mapped for its
// resources only: nothing in it runs, whatever kind of file it is.
class DataFileModule
{
public:
    explicit DataFileModule(const std::wstring& path)
    {
        if (path.empty()) {
            return;
        }
        m_module =
            LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        if (!m_module && GetLastError() == ERROR_INVALID_PARAMETER) {
            // Systems before Vista know only the plain data-file mapping; it runs nothing either.
            m_module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        }
    }
    ~DataFileModule()
    {
        if (m_module) {
            FreeLibrary(m_module);
        }
    }
    DataFileModule(const DataFileModule&) = delete;
    DataFileModule& operator=(const DataFileModule&) = delete;

    HMODULE get() const { return m_module; }

private:
    HMODULE m_module = nullptr;
};
