// Feeds arbitrary bytes through the protocol's readers and checks what must hold for any
// input: framing loses nothing and keeps lines short, and whatever reads as a line is
// written back to a line that reads as the same.

#include "CommSettings.h"
#include "Escape.h"
#include "InitFile.h"
#include "LineFramer.h"
#include "Lines.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

std::string_view WithoutEnd(const std::string &wire)
{
    Check(wire.size() >= 2 && wire.compare(wire.size() - 2, 2, "\r\n") == 0);
    return std::string_view(wire).substr(0, wire.size() - 2);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);

    protocol::LineFramer framer(64);
    const std::size_t piece = size > 0 ? 1 + data[0] % 16 : 1;
    for (std::size_t at = 0; at < size; at += piece) {
        framer.Append(bytes.substr(at, piece));
        while (auto line = framer.Next()) {
            Check(line->text.size() <= 64);
            Check(line->text.find('\n') == std::string::npos);
        }
        Check(framer.Pending() <= 64 + 1 + piece);
    }

    for (std::size_t from = 0; from <= size;) {
        const std::size_t end = std::min(bytes.find('\n', from), size);
        const std::string_view line = bytes.substr(from, end - from);
        from = end + 1;
        if (const auto unit = protocol::ParseUnitLine(line)) {
            const std::string wire = protocol::FormatUnitLine(unit.value());
            const auto again = protocol::ParseUnitLine(WithoutEnd(wire));
            Check(again.ok() && again.value() == unit.value());
        }
        if (const auto host = protocol::ParseHostLine(line)) {
            const std::string wire = protocol::FormatHostLine(host.value());
            const auto again = protocol::ParseHostLine(WithoutEnd(wire));
            Check(again.ok() && again.value() == host.value());
        }
    }

    for (const bool last : {true, false}) {
        const std::string escaped = protocol::EscapeText(bytes, last);
        for (const char c : escaped)
            Check(c >= 0x20 && c <= 0x7E && (last || c != ' '));
        const auto back = protocol::UnescapeText(escaped);
        Check(back.ok() && back.value() == bytes);
    }

    if (const auto settings = protocol::ParseInitFile(bytes)) {
        Check(settings.value().size() <= 100);
        for (const protocol::Setting &setting : settings.value())
            Check(protocol::IsSettingName(setting.name) && setting.value.size() <= 200);
    } else {
        Check(!settings.error().empty());
    }
    const auto comm = protocol::ParseCommSettings(bytes);
    Check(comm.ok() ? comm.value().baud > 0 : !comm.error().empty());
    return 0;
}
