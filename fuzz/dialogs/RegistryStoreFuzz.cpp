// Any file text must parse without fault, and whatever it holds must read back under the
// rules GetKeyValue applies.
#include "RegistryStore.h"
#include "RegistryValue.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const registry::RegistryStore store = registry::RegistryStore::Parse(text);

    // Look up the names the dialog asks for, and names taken from the input itself.
    const std::string_view half = text.substr(0, text.size() / 2);
    const std::string_view rest = text.substr(text.size() / 2);
    for (const auto &[key, name] : {std::pair<std::string_view, std::string_view>{
                                        "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH"},
                                    {half, rest}}) {
        const registry::StoredValue *value = store.Find(key, name);
        if (!value)
            continue;
        if (!store.HasKey(key))
            std::abort();
        // Quoted text is stored with its closing zero; text given as hex(1) bytes keeps
        // exactly the bytes written, as the registry does, and may end without one.
        if (value->type == registry::TypeText &&
            (value->bytes.empty() || value->bytes.back() != '\0') &&
            text.find("hex(") == std::string_view::npos)
            std::abort();
        std::string result = "unchanged";
        registry::SetResultFromValue(value->type, value->bytes, result);
        if (result.find('\0') != std::string::npos)
            std::abort();
    }
    for (const registry::StoreProblem &problem : store.Problems()) {
        if (problem.line == 0 || problem.what.empty())
            std::abort();
    }
    return 0;
}
