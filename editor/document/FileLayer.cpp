#include "FileLayer.h"

#include "DocumentFile.h"
#include "PathText.h"
#include "modUnicodeRW.h"

#include <filesystem>
#include <system_error>

namespace {

class Disk : public FileLayer
{
public:
    Contents Read(const std::u16string &path) override
    {
        Contents contents;
        contents.units = docfile::ReadConfigFile(path, &contents.identity);
        // The reader hands an odd last byte over as a unit of its own; only the size
        // tells it from a whole one.
        std::error_code error;
        const std::uintmax_t size =
            std::filesystem::file_size(std::filesystem::path(Utf8(path, true)), error);
        contents.oddLength = !error && size % 2 == 1;
        return contents;
    }

    void Write(const std::u16string &path, const std::u16string &units) override
    {
        WriteUnicodeFile(path, units, false);
    }
};

} // namespace

FileLayer &DiskFileLayer()
{
    static Disk disk;
    return disk;
}
