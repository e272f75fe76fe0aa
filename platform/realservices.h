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

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace platform
