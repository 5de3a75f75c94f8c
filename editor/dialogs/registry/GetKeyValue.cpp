#include "GetKeyValue.h"

#include "RegistryValue.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string_view>
#else
#include "RegistryStore.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>
#endif

namespace registry {

#ifdef _WIN32

Root MachineRoot()
{
    return HKEY_LOCAL_MACHINE;
}

#else

namespace {

// Where the store file is found in a configuration folder.
constexpr std::string_view StoreFileName = "Torvane/machine-registry.conf";
// A machine's registry file is small; anything beyond this is not one and is not read.
constexpr std::streamoff MaxStoreFileSize = 4 * 1024 * 1024;

std::string &OverriddenPath()
{
    static std::string path;
    return path;
}

bool IsRegularFile(const std::string &path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

std::optional<std::string> ReadStoreFile(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    if (size < 0 || size > MaxStoreFileSize)
        return std::nullopt;
    file.seekg(0, std::ios::beg);
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad())
        return std::nullopt;
    return text;
}

} // namespace

Root MachineRoot()
{
    return Root::LocalMachine;
}

std::string StoreFilePath()
{
    if (!OverriddenPath().empty())
        return OverriddenPath();
    const char *dirs = std::getenv("XDG_CONFIG_DIRS");
    std::string_view list = dirs && *dirs ? dirs : "/etc/xdg";
    std::string first;
    while (!list.empty()) {
        const std::size_t colon = list.find(':');
        const std::string_view dir = list.substr(0, colon);
        list.remove_prefix(colon == std::string_view::npos ? list.size() : colon + 1);
        // Relative entries are to be ignored, as the XDG base directory rules say.
        if (dir.empty() || dir.front() != '/')
            continue;
        std::string path = std::string(dir) + "/" + std::string(StoreFileName);
        if (IsRegularFile(path))
            return path;
        if (first.empty())
            first = std::move(path);
    }
    return first.empty() ? "/etc/xdg/" + std::string(StoreFileName) : first;
}

void SetStoreFilePath(std::string path)
{
    OverriddenPath() = std::move(path);
}

#endif

} // namespace registry

#ifdef _WIN32

bool GetKeyValue(registry::Root root, const std::string &keyPath, const std::string &valueName,
                 std::string &result)
{
    // The access this lookup has always asked for: read control and the six key rights.
    constexpr REGSAM RequestedAccess = 0x2003F;
    HKEY key = nullptr;
    LONG status = RegOpenKeyExA(root, keyPath.c_str(), 0, RequestedAccess, &key);
    // Under HKEY_LOCAL_MACHINE a standard user is refused the set-value and create rights
    // that access includes; reading needs none of them, so try again for reading only
    // rather than report a present value as missing.
    if (status == ERROR_ACCESS_DENIED)
        status = RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_READ, &key);
    if (status != ERROR_SUCCESS) {
        result.clear();
        return false;
    }

    char buffer[registry::ValueBufferSize] = {};
    DWORD size = sizeof buffer;
    DWORD type = 0;
    // A value longer than the buffer fails here with ERROR_MORE_DATA and counts as missing.
    status = RegQueryValueExA(key, valueName.c_str(), nullptr, &type,
                              reinterpret_cast<BYTE *>(buffer), &size);
    if (status != ERROR_SUCCESS) {
        result.clear();
        RegCloseKey(key);
        return false;
    }
    registry::SetResultFromValue(static_cast<std::uint32_t>(type), std::string_view(buffer, size),
                                 result);
    RegCloseKey(key);
    return true;
}

#else

bool GetKeyValue(registry::Root root, const std::string &keyPath, const std::string &valueName,
                 std::string &result)
{
    const registry::StoredValue *value = nullptr;
    std::optional<registry::RegistryStore> store;
    if (root == registry::Root::LocalMachine) {
        if (const std::optional<std::string> text =
                registry::ReadStoreFile(registry::StoreFilePath()))
            store = registry::RegistryStore::Parse(*text);
    }
    if (store)
        value = store->Find(keyPath, valueName);
    if (!value || value->bytes.size() > registry::ValueBufferSize) {
        result.clear();
        return false;
    }
    registry::SetResultFromValue(value->type, value->bytes, result);
    return true;
}

#endif
