#pragma once

#include <QLibrary>

#include <memory>

namespace platform {

// A part of the program kept in a module of its own (modules/ in the program
// folder), so that the libraries it needs are loaded only once it is used.
// The module makes its one object through an extern "C" function without
// arguments, named createSymbol.
template <typename Interface> class Module
{
public:
    // path: the module's path without its suffix (".so").
    Module(const QString &path, const char *createSymbol)
        : m_library(path)
        , m_createSymbol(createSymbol)
    { }

    // Loads the module and makes its object, unless that was tried before;
    // null when the module is missing or makes nothing.
    Interface *get()
    {
        if (!m_tried) {
            m_tried = true;
            using Create = Interface *();
            if (auto *create = reinterpret_cast<Create *>(m_library.resolve(m_createSymbol)))
                m_object.reset(create());
        }
        return m_object.get();
    }

private:
    // Declared first, so that the object it made goes before it; the module
    // itself stays loaded for the rest of the run.
    QLibrary m_library;
    const char *m_createSymbol;
    std::unique_ptr<Interface> m_object;
    bool m_tried = false;
};

} // namespace platform
