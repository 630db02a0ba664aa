#pragma once
// A fresh folder under /tmp (on Windows the user's temporary folder) for one test's
// files, removed with everything in it.

#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>
#include <thread>

namespace testsupport {

class TempDir {
public:
#ifdef _WIN32
    TempDir() : path_(UniqueFolder().string()) {}

    // mingw's runtime has no mkdtemp: a random name, made only if it was not there.
    static std::filesystem::path UniqueFolder()
    {
        std::random_device random;
        for (;;) {
            const auto path = std::filesystem::temp_directory_path() / ("zendrik-test-" + std::to_string(random()));
            if (std::filesystem::create_directory(path))
                return path;
        }
    }
#else
    TempDir()
    {
        char pattern[] = "/tmp/zendrik-test-XXXXXX";
        path_ = ::mkdtemp(pattern);
    }
#endif
    // A browser process that outlives its program by a moment may still be writing into
    // the folder: a few tries, and a destructor that never throws.
    ~TempDir()
    {
        for (int attempt = 0; attempt < 20; ++attempt) {
            std::error_code error;
            std::filesystem::remove_all(path_, error);
            if (!error)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Writes (or rewrites) the file and returns its path.
    std::string Write(const std::string& name, const std::string& bytes) const
    {
        const std::string file = path_ + "/" + name;
        // The name is UTF-8, which a narrow path on Windows is not.
        const std::u8string utf8(file.begin(), file.end());
        std::ofstream(std::filesystem::path(utf8), std::ios::binary | std::ios::trunc) << bytes;
        return file;
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

}  // namespace testsupport
