// Carrying the 8-bit filter's result back into an image of higher precision: the filter runs on
// an 8-bit copy, and each channel then moves by the filter's change, (after - before) / 255, on
// the image's own values (0..1). Pixels the filter left alone keep their values bit for bit.
// Buffers hold `pixels` pixels of `channels` interleaved channels; changed receives one flag
// per pixel (1: at least one channel moved). Results are clamped to 0..1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

void carryDifference(const uint8_t* before, const uint8_t* after, double* values, size_t pixels,
                     int channels, std::vector<uint8_t>* changed);
