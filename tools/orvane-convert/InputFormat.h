#pragma once
// The camera-trajectory formats that orvane-convert reads, by the names --from takes.

#include <optional>
#include <span>
#include <string_view>

#include "tools/orvane-convert/PoseLine.h"

namespace OrvaneConvert {

enum class InputFormat { Tum, Kitti, Euroc };

struct InputFormatInfo {
    InputFormat format;
    std::string_view name;
    PoseLineParser parse;
};

std::span<const InputFormatInfo> inputFormats();
const InputFormatInfo& infoOf(InputFormat format);
std::optional<InputFormat> inputFormatNamed(std::string_view name);

}  // namespace OrvaneConvert
