#pragma once

#include <thread>

// Reads the system's font configuration on a thread of its own. The first
// window with text needs it, and reading it (dozens of configuration files
// and every font folder's cache) takes as long as building several windows;
// started before the application object, it is done by the time the first
// window lays out text. The toolkit then finds it loaded. Lives until the
// reading has ended.
class FontConfigLoader {
public:
    FontConfigLoader();
    ~FontConfigLoader();
    FontConfigLoader(const FontConfigLoader &) = delete;
    FontConfigLoader &operator=(const FontConfigLoader &) = delete;

private:
    std::thread thread_;
};
