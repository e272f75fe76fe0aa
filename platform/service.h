#pragma once

#include <cassert>

namespace platform {

// The one instance of an outside service the program talks to. main() installs
// the real implementations; a test installs fakes with ScopedService.
template <typename Interface> class ScopedService;

template <typename Interface> class Service
{
public:
    static Interface &get()
    {
        assert(s_current && "platform service used before it was installed");
        return *s_current;
    }
    // Null while none is in place.
    static Interface *current() { return s_current; }

private:
    // ScopedService is the one way to put an implementation in place.
    friend class ScopedService<Interface>;
    static inline Interface *s_current = nullptr;
};

// Puts an implementation in place for the lifetime of the guard and restores
// the previous one afterwards.
template <typename Interface> class ScopedService
{
public:
    explicit ScopedService(Interface &impl)
        : m_previous(Service<Interface>::s_current)
    {
        Service<Interface>::s_current = &impl;
    }
    ~ScopedService() { Service<Interface>::s_current = m_previous; }
    ScopedService(const ScopedService &) = delete;
    ScopedService &operator=(const ScopedService &) = delete;

private:
    Interface *m_previous;
};

} // namespace platform
