#include "ConfigFile.h"

#include "RunTimeError.h"
#include "modUnicodeRW.h"

#include <system_error>

namespace {

[[noreturn]] void Refuse(std::int32_t number, std::string reason)
{
    throw RunTimeError(number, std::move(reason), "ReadConfigFile");
}

} // namespace

std::string Grouped(std::size_t number)
{
    std::string digits = std::to_string(number);
    for (std::size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, ",");
    return digits;
}

std::u16string CodecPath(const std::filesystem::path &path)
{
    try {
        return path.u16string();
    } catch (const std::exception &) {
        throw RunTimeError(ErrorNumber::PathFileAccess,
                           "the name is not valid in the system's character encoding", "CodecPath");
    }
}

std::u16string ReadConfigFile(const std::filesystem::path &path)
{
    // The codec's reader turns every failure into empty text, as the editor wants; a
    // command line must tell a missing file from an empty one, so look first.
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found)
        Refuse(ErrorNumber::FileNotFound, "no such file");
    if (ec)
        Refuse(ErrorNumber::PathFileAccess, "cannot be read: " + ec.message());
    if (status.type() == std::filesystem::file_type::directory)
        Refuse(ErrorNumber::PathFileAccess, "is a folder, not a file");
    if (status.type() != std::filesystem::file_type::regular)
        Refuse(ErrorNumber::PathFileAccess, "not a plain file");
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec)
        Refuse(ErrorNumber::PathFileAccess, "cannot be read: " + ec.message());
    if (size > MaxFileBytes)
        Refuse(ErrorNumber::Overflow, Grouped(size) + " bytes, over the limit of " +
                                          Grouped(MaxFileBytes) + " bytes for a config file");
    if (size % 2 != 0)
        Refuse(ErrorNumber::PathFileAccess,
               "odd length (" + Grouped(size) +
                   " bytes): a config file holds two bytes for each character");

    const std::u16string units = ReadUnicodeFile(CodecPath(path), false);
    // The reader gives back what it could: anything short of the whole file means the
    // file could not be read (no permission) or changed while it was.
    if (units.size() * 2 != size)
        Refuse(ErrorNumber::PermissionDenied, "cannot be read");
    return units;
}
