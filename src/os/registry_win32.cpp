#include "core/registry.h"

#include "core/utf.h"

#include <windows.h>

namespace korvane {

namespace {

// The predefined roots are 32-bit values sign-extended into a handle:
// HKEY_LOCAL_MACHINE is (HKEY)(ULONG_PTR)(LONG)0x80000002.
HKEY rootHandle(std::uint32_t root)
{
    return reinterpret_cast<HKEY>(
        static_cast<ULONG_PTR>(static_cast<LONG_PTR>(static_cast<std::int32_t>(root))));
}

HKEY keyHandle(RegistryHandle key)
{
    return reinterpret_cast<HKEY>(key);
}

class Win32Registry final : public Registry {
public:
    long open(std::uint32_t root, const std::string &keyName, std::uint32_t options,
        std::uint32_t access, RegistryHandle &key) override
    {
        HKEY opened = nullptr;
        const LONG status
            = RegOpenKeyExA(rootHandle(root), keyName.c_str(), options, access, &opened);
        key = status == ERROR_SUCCESS ? reinterpret_cast<RegistryHandle>(opened) : 0;
        return status;
    }

    long query(RegistryHandle key, const std::string &valueName, std::uint32_t &type,
        unsigned char *data, std::uint32_t &size) override
    {
        DWORD valueType = 0;
        DWORD valueSize = size;
        const LONG status = RegQueryValueExA(
            keyHandle(key), valueName.c_str(), nullptr, &valueType, data, &valueSize);
        type = valueType;
        size = valueSize;
        return status;
    }

    long close(RegistryHandle key) override { return RegCloseKey(keyHandle(key)); }

    std::string decodeText(std::string_view bytes) const override
    {
        if (bytes.empty())
            return {};
        const int length = static_cast<int>(bytes.size());
        const int size = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(size), L'\0');
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, wide.data(), size);
        return narrow(wide);
    }
};

} // namespace

std::unique_ptr<Registry> makeNativeRegistry()
{
    return std::make_unique<Win32Registry>();
}

} // namespace korvane
