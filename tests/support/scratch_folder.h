#pragma once

#include <filesystem>
#include <string>

namespace meridel::testing {

// A fresh folder for the running test, <tmp>/meridel-PREFIX-SUITE-TEST-XXXXXX (a unique suffix),
// removed with everything in it afterwards (made writable first, for tests that take write
// access away).
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& prefix);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace meridel::testing
