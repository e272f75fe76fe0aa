#include "app/Remind.h"
#include "app/WindowProgram.h"

#include <dlfcn.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

// The folder the executable is in, links followed (PREFIX/bin/harovan is a
// link to the program folder's).
std::string programFolder()
{
    std::string path(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || size_t(length) >= path.size())
        return {};
    path.resize(size_t(length));
    return path.substr(0, path.rfind('/') + 1);
}

} // namespace

int main(int argc, char *argv[])
{
    // The login reminder is all in this executable, which links neither the
    // window system's libraries nor the windows: it must not slow a login.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--remind") == 0)
            return Remind::run(argc, argv);
    }

    const std::string folder = programFolder();
    if (folder.empty()) {
        std::fprintf(stderr, "harovan: the program folder is not known (/proc/self/exe: %s)\n", std::strerror(errno));
        return 1;
    }
    const std::string module = folder + "modules/harovan_window.so";
    void *windows = dlopen(module.c_str(), RTLD_NOW | RTLD_GLOBAL);
    if (!windows) {
        std::fprintf(stderr, "harovan: the windows cannot be loaded: %s\n", dlerror());
        return 1;
    }
    const auto run = reinterpret_cast<WindowProgramMain>(dlsym(windows, WindowProgramEntry));
    if (!run) {
        std::fprintf(stderr, "harovan: %s is not the program's window module\n", module.c_str());
        return 1;
    }
    return run(&argc, argv);
}
