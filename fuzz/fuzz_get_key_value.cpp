// GetKeyValue over a registry that answers whatever the input says: any open and query
// status, any type, any size (also one larger than the buffer, even with success) and any
// bytes. Nothing may be read or written past the buffer, and the outcome must follow the
// statuses.
#include "../tests/core/fakes.h"
#include "core/sys_info.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using korvane::RegistryHandle;

class Input {
public:
    Input(const std::uint8_t *data, std::size_t size)
        : m_data(data)
        , m_size(size)
    {
    }

    std::uint32_t u32()
    {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value = (value << 8) | byte();
        return value;
    }

    std::uint8_t byte() { return m_at < m_size ? m_data[m_at++] : 0; }

    std::string rest() { return { reinterpret_cast<const char *>(m_data + m_at), m_size - m_at }; }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

class HostileRegistry final : public korvane::Registry {
public:
    long open(std::uint32_t, const std::string &, std::uint32_t, std::uint32_t,
        RegistryHandle &key) override
    {
        ++opened;
        key = openStatus == 0 ? 0x42 : 0;
        return openStatus;
    }

    long query(RegistryHandle, const std::string &, std::uint32_t &type, unsigned char *data,
        std::uint32_t &size) override
    {
        const std::uint32_t capacity = size;
        // A well-behaved registry never writes more than the capacity; this one claims any
        // size but can only be made to write what fits.
        std::memcpy(data, bytes.data(), std::min<std::size_t>(bytes.size(), capacity));
        type = valueType;
        size = claimedSize;
        return queryStatus;
    }

    long close(RegistryHandle) override
    {
        ++closed;
        return 0;
    }

    std::string decodeText(std::string_view text) const override { return std::string(text); }

    long openStatus = 0;
    long queryStatus = 0;
    std::uint32_t valueType = 1;
    std::uint32_t claimedSize = 0;
    std::string bytes;
    int opened = 0;
    int closed = 0;
};

void require(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Input input(data, size);
    HostileRegistry registry;
    const std::uint8_t statuses = input.byte();
    registry.openStatus = (statuses & 0x0F) == 0 ? 0 : long(statuses & 0x0F);
    registry.queryStatus = (statuses >> 4) == 0 ? 0 : 234;
    registry.valueType = input.byte() % 12;
    // Sizes around the buffer's 1024 bytes are the interesting ones.
    registry.claimedSize = input.u32() % 2100;
    const std::string before(input.byte() % 4, '7');
    registry.bytes = input.rest();

    korvane::testing::FakeFileLookup files;
    korvane::testing::FakeCommandRunner runner;
    korvane::testing::FakeMessageBox messageBox;
    korvane::SysInfoLauncher launcher({ registry, files, runner, messageBox });

    std::string value = before;
    const bool read = launcher.GetKeyValue(korvane::registry::localMachine, "K", "V", value);

    require(registry.opened == 1);
    require(read == (registry.openStatus == 0 && registry.queryStatus == 0));
    if (!read)
        require(value.empty());
    else if (registry.valueType == 1)
        require(value.size() <= 1024);
    else if (registry.valueType != 4)
        require(value == before);
    // Closed once on every path, the failed open included.
    require(registry.closed == 1);
    return 0;
}
