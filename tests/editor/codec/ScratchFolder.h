#pragma once
// A private folder per test, raw byte access to files in it that goes around the code
// under test, and the check of a failed write that the file layer's tests share.

#include "RunTimeError.h"
#include "modUnicodeRW.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <system_error>

#ifndef _WIN32
#include <sys/stat.h>
#endif

class ScratchFolder
{
public:
    ScratchFolder()
    {
        std::error_code ec;
        const std::filesystem::path base = std::filesystem::temp_directory_path(ec);
        std::random_device random;
        for (int attempt = 0; attempt < 16 && path_.empty(); ++attempt) {
            const std::filesystem::path candidate =
                base / ("codec-" + std::to_string(random()) + std::to_string(attempt));
            if (std::filesystem::create_directory(candidate, ec))
                path_ = candidate.string();
        }
#ifndef _WIN32
        // Reachable by the unprivileged user some tests switch to.
        if (!path_.empty())
            ::chmod(path_.c_str(), 0755);
#endif
    }
    ~ScratchFolder()
    {
        std::error_code ec;
#ifndef _WIN32
        for (const auto &entry : std::filesystem::recursive_directory_iterator(path_, ec))
            if (entry.is_directory(ec) && !entry.is_symlink(ec))
                ::chmod(entry.path().c_str(), 0755);
#endif
        std::filesystem::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    bool valid() const
    {
        return !path_.empty();
    }
    std::string path(const std::string &name = {}) const
    {
        return name.empty() ? path_ : path_ + "/" + name;
    }
    std::u16string u16(const std::string &name = {}) const
    {
        return std::filesystem::path(path(name)).u16string();
    }

    // Every name in the folder (not below it), as UTF-8, sorted.
    std::set<std::string> names(const std::string &sub = {}) const
    {
        std::set<std::string> out;
        std::error_code ec;
        for (const auto &entry : std::filesystem::directory_iterator(path(sub), ec)) {
            const std::u8string name = entry.path().filename().u8string();
            out.insert(std::string(name.begin(), name.end()));
        }
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

#ifndef _WIN32
inline unsigned ModeOf(const std::string &path)
{
    struct stat st = {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode : 0;
}
#endif

// WriteUnicodeFile fails with `number`, and its description names the file and the reason.
inline void ExpectWriteFails(const std::u16string &path, const std::u16string &text,
                             std::int32_t number, const std::string &nameInDescription,
                             const std::string &reason)
{
    try {
        WriteUnicodeFile(path, text, false);
        ADD_FAILURE() << "no error for " << nameInDescription;
    } catch (const RunTimeError &e) {
        EXPECT_EQ(e.Number, number) << e.Description;
        EXPECT_EQ(e.Source, "WriteUnicodeFile");
        EXPECT_NE(e.Description.find(nameInDescription), std::string::npos) << e.Description;
        EXPECT_NE(e.Description.find(reason), std::string::npos) << e.Description;
    }
}
