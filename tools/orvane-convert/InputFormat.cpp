#include "tools/orvane-convert/InputFormat.h"

#include <array>

#include "tools/orvane-convert/EurocReader.h"
#include "tools/orvane-convert/KittiReader.h"
#include "tools/orvane-convert/TumReader.h"

namespace OrvaneConvert {

namespace {

constexpr std::array<InputFormatInfo, 3> kFormats = {{
    {InputFormat::Tum, "tum", parseTumLine},
    {InputFormat::Kitti, "kitti", parseKittiLine},
    {InputFormat::Euroc, "euroc", parseEurocLine},
}};

}  // namespace

std::span<const InputFormatInfo> inputFormats() {
    return kFormats;
}

const InputFormatInfo& infoOf(InputFormat format) {
    return kFormats[static_cast<std::size_t>(format)];  // listed in the enumeration's order
}

std::optional<InputFormat> inputFormatNamed(std::string_view name) {
    for (const InputFormatInfo& info : kFormats) {
        if (info.name == name) {
            return info.format;
        }
    }
    return std::nullopt;
}

}  // namespace OrvaneConvert
