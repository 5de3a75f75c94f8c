#pragma once
// A private folder per test, and raw byte access to files in it that goes around the
// code under test.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <system_error>

#include <stdlib.h>
#include <sys/stat.h>

class ScratchFolder
{
public:
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "codec-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
            // Reachable by the unprivileged user some tests switch to.
            ::chmod(path_.c_str(), 0755);
        }
    }
    ~ScratchFolder()
    {
        std::error_code ec;
        for (const auto &entry : std::filesystem::recursive_directory_iterator(path_, ec))
            if (entry.is_directory(ec) && !entry.is_symlink(ec))
                ::chmod(entry.path().c_str(), 0755);
        std::filesystem::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    bool valid() const { return !path_.empty(); }
    std::string path(const std::string &name = {}) const
    {
        return name.empty() ? path_ : path_ + "/" + name;
    }
    std::u16string u16(const std::string &name = {}) const
    {
        return std::filesystem::path(path(name)).u16string();
    }

    // Every name in the folder (not below it), sorted.
    std::set<std::string> names(const std::string &sub = {}) const
    {
        std::set<std::string> out;
        std::error_code ec;
        for (const auto &entry : std::filesystem::directory_iterator(path(sub), ec))
            out.insert(entry.path().filename().string());
        return out;
    }

private:
    std::string path_;
};

inline void PutBytes(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::optional<std::string> GetBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline unsigned ModeOf(const std::string &path)
{
    struct stat st = {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode : 0;
}
