// orvane-convert's tum reader over arbitrary bytes; see ConvertFuzzing.h.
#include "fuzz/ConvertFuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return OrvaneFuzz::checkConversion({OrvaneConvert::InputFormat::Tum, 0, 0, {1, 2, 3}}, data,
                                       size);
}
