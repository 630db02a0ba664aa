#pragma once
// A fresh folder under /tmp for one test's files, removed with everything in it.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace testsupport {

class TempDir {
public:
    TempDir()
    {
        char pattern[] = "/tmp/zendrik-test-XXXXXX";
        path_ = ::mkdtemp(pattern);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Writes (or rewrites) the file and returns its path.
    std::string Write(const std::string& name, const std::string& bytes) const
    {
        const std::string file = path_ + "/" + name;
        std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
        return file;
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

}  // namespace testsupport
