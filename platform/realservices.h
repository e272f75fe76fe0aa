#pragma once

#include <memory>

namespace platform {

// Owns the real implementation of every service and installs them for the
// lifetime of the object. Created once by main().
class RealServices
{
public:
    RealServices();
    ~RealServices();
    RealServices(const RealServices &) = delete;
    RealServices &operator=(const RealServices &) = delete;

    // Loads what the start-up left for later (the chime's module), so that
    // the first hit sounds without delay. For once the main window is up.
    void loadDeferred();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace platform
