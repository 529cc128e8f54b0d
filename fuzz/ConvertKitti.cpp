// orvane-convert's kitti reader over arbitrary bytes; see ConvertFuzzing.h.
#include "fuzz/ConvertFuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return OrvaneFuzz::checkConversion({OrvaneConvert::InputFormat::Kitti, 0, -1, {3, 7, 11}}, data,
                                       size);
}
