#pragma once
// Floppy images for the image tests: recognisable bytes, a chosen label, and
// a look at the internal image.

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "frame/layout.hpp"
#include "frame/program_state.hpp"

namespace quarnex::testing {

using Bytes = std::vector<unsigned char>;

// Every block differs from every other and from other seeds.
inline Bytes PatternImage(unsigned seed, std::size_t size = kImageBytes) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<unsigned char>((i / kTrackBytes * 7 + i * 13 + seed) & 0xFF);
    }
    return bytes;
}

inline void PutLabel(Bytes& image, const std::string& label) {
    std::copy(label.begin(), label.end(), image.begin() + kLabelOffset);
}

inline Bytes ImageOf(const ProgramState& state) {
    const auto span = state.InternalImage.Span();
    return Bytes(reinterpret_cast<const unsigned char*>(span.data()),
                 reinterpret_cast<const unsigned char*>(span.data()) + span.size());
}

inline void FillImage(ProgramState& state, const Bytes& bytes) {
    std::copy(bytes.begin(), bytes.end(),
              reinterpret_cast<unsigned char*>(state.InternalImage.Data()));
}

// Bytes [from, to) of a buffer.
inline Bytes Range(const Bytes& bytes, std::size_t from, std::size_t to) {
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                 bytes.begin() + static_cast<std::ptrdiff_t>(to));
}

}  // namespace quarnex::testing
