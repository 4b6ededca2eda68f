// Reads a fuzz input as a sequence of values: each Take consumes the bytes of
// one value; past the end the missing bytes read as zero.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

struct FuzzInput {
    const uint8_t* data = nullptr;
    size_t size = 0;

    template <class T>
    T Take() {
        T value{};
        const size_t n = size < sizeof value ? size : sizeof value;
        std::memcpy(&value, data, n);
        data += n;
        size -= n;
        return value;
    }
};
