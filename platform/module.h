#pragma once

#include <QPluginLoader>
#include <QPointer>
#include <QString>

#include <optional>

namespace platform {

// A part of the program kept in a module of its own (modules/ in the program
// folder), so that the libraries it needs are loaded only once it is used.
// The module is a Qt plug-in whose one object offers an interface declared
// with Q_DECLARE_INTERFACE; the interface's IID carries its version.
//
// A module that is missing, cut short, not a Qt plug-in, built against
// another Qt, or made for another interface or another version of it is not
// loaded: the reason goes to standard error and the program goes without the
// module. Its code never runs unless it offers the interface asked for.
// The file of the module called name in the program folder's modules/, with
// the system's ending for a plug-in.
QString modulePath(const QString &name);

class ModuleLoader
{
public:
    // path: the module's file; iid: the interface it must offer.
    ModuleLoader(const QString &path, const char *iid);
    // Deletes the module's object; the module itself stays loaded for the rest
    // of the run, so that nothing of it is unmapped while its libraries run.
    ~ModuleLoader();

    // The module's object cast to the interface, unless loading was tried
    // before; null when the module is refused.
    void *interface();

private:
    void *load();
    // Tells why on standard error; null.
    void *refuse(const QString &reason) const;

    QString m_path;
    const char *m_iid;
    QPluginLoader m_loader;
    QPointer<QObject> m_object;
    std::optional<void *> m_interface; // once loading was tried
};

// A module whose object offers Interface (declared with Q_DECLARE_INTERFACE).
template <typename Interface> class Module
{
public:
    explicit Module(const QString &path)
        : m_loader(path, qobject_interface_iid<Interface *>())
    { }

    // Loads the module unless that was tried before; null when it is refused.
    Interface *get() { return static_cast<Interface *>(m_loader.interface()); }

private:
    ModuleLoader m_loader;
};

// The calls of Interface, each forwarded to target(): declared once per
// interface of a deferred service, beside the interface (a specialisation).
template <typename Interface> class DeferredCalls;

// A service kept in a module of its own (the chime, the transfers), so that
// its libraries cost the start-up nothing: loaded by load() once the window
// is up, or at its first call, whichever comes first. Until then it is not
// loaded; without the module, or with one that is refused, or with no module
// on this system (an empty path), fallback answers every call. This is what
// the program installs as the service.
template <typename Interface> class Deferred final : public DeferredCalls<Interface>
{
public:
    Deferred(const QString &modulePath, Interface &fallback)
        : m_module(modulePath)
        , m_hasModule(!modulePath.isEmpty())
        , m_fallback(fallback)
    { }

    // Loads the module unless that was tried before; whether it is in place.
    bool load() { return m_hasModule && m_module.get() != nullptr; }

protected:
    Interface &target() override
    {
        Interface *loaded = m_hasModule ? m_module.get() : nullptr;
        return loaded ? *loaded : m_fallback;
    }

private:
    Module<Interface> m_module;
    bool m_hasModule;
    Interface &m_fallback;
};

} // namespace platform
