// SHA-256 from nettle, the library Linux systems ship for it.
#include <nettle/sha2.h>

#include <cstdint>

#include "core/sha256.hpp"
#include "core/text.hpp"

namespace quarnex {

std::string Sha256Hex(std::span<const std::byte> data) {
    sha256_ctx context;
    sha256_init(&context);
    sha256_update(&context, data.size(), reinterpret_cast<const std::uint8_t*>(data.data()));
    std::uint8_t digest[SHA256_DIGEST_SIZE];
    sha256_digest(&context, sizeof digest, digest);
    return LowerHex(std::as_bytes(std::span(digest)));
}

}  // namespace quarnex
