// ReadUnicodeFile on arbitrary bytes against the byte rule, and a write then read back.
//
// Input: one flag byte (bit 0: UseBOM), then the file's bytes.
#include "FuzzCheck.h"
#include "modUnicodeRW.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <stdlib.h>

namespace {

// One scratch folder for the whole run, removed when the fuzzer exits.
struct ScratchFolder
{
    ScratchFolder()
    {
        // Every save syncs; on a memory file system that costs nothing, so the fuzzer
        // spends its time on the code rather than on the disk.
        std::error_code ec;
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        path = (base / "fuzz-unicode-XXXXXX").string();
        Check(::mkdtemp(path.data()) != nullptr, "a scratch folder");
    }
    ~ScratchFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::string path;
};

const std::string &Folder()
{
    static const ScratchFolder folder;
    return folder.path;
}

std::string Bytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::u16string Reference(const std::string &bytes, bool useBom)
{
    std::u16string text;
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        const unsigned low = static_cast<unsigned char>(bytes[i]);
        const unsigned high = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0;
        text.push_back(static_cast<char16_t>(low + 256 * high));
    }
    if (useBom && !text.empty() && text[0] == 0xFEFF) {
        std::u16string without;
        for (const char16_t unit : text)
            if (unit != 0xFEFF)
                without.push_back(unit);
        return without;
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const bool useBom = data[0] & 1;
    const std::string bytes(reinterpret_cast<const char *>(data) + 1, size - 1);
    const std::string in = Folder() + "/in.cfg";
    const std::string out = Folder() + "/out.cfg";
    {
        std::ofstream file(in, std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    const std::u16string text = ReadUnicodeFile(std::filesystem::path(in).u16string(), useBom);
    Check(text == Reference(bytes, useBom), "ReadUnicodeFile follows the byte rule");

    WriteUnicodeFile(std::filesystem::path(out).u16string(), text, useBom);
    std::string expected = useBom ? "\xFF\xFE" : "";
    for (const char16_t unit : text) {
        expected.push_back(static_cast<char>(unit & 0xFF));
        expected.push_back(static_cast<char>(unit >> 8));
    }
    Check(Bytes(out) == expected, "WriteUnicodeFile writes the mark and the units, low byte first");
    const std::u16string back = ReadUnicodeFile(std::filesystem::path(out).u16string(), false);
    Check(back == (useBom ? u"\xFEFF" + text : text), "what is written reads back");

    std::size_t entries = 0;
    for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator(Folder()))
        ++entries;
    Check(entries == 2, "no temporary file is left behind");
    return 0;
}
