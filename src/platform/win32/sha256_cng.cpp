// SHA-256 from the system's CNG (bcrypt), which every Windows has.
#include <windows.h>
// windows.h first: bcrypt.h needs its types.
#include <bcrypt.h>

#include <array>
#include <memory>

#include "core/sha256.hpp"
#include "core/text.hpp"

namespace quarnex {

namespace {

struct CloseAlgorithm {
    void operator()(void* algorithm) const { BCryptCloseAlgorithmProvider(algorithm, 0); }
};
struct DestroyHash {
    void operator()(void* hash) const { BCryptDestroyHash(hash); }
};

}  // namespace

std::string Sha256Hex(std::span<const std::byte> data) {
    BCRYPT_ALG_HANDLE opened = nullptr;
    if (!BCRYPT_SUCCESS(
            BCryptOpenAlgorithmProvider(&opened, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) {
        return {};
    }
    const std::unique_ptr<void, CloseAlgorithm> algorithm(opened);
    BCRYPT_HASH_HANDLE created = nullptr;
    if (!BCRYPT_SUCCESS(BCryptCreateHash(opened, &created, nullptr, 0, nullptr, 0, 0))) {
        return {};
    }
    const std::unique_ptr<void, DestroyHash> hash(created);
    // One call takes at most a ULONG's worth; a slot image is far below that.
    std::array<std::byte, 32> digest{};
    if (data.size() > 0xFFFFFFFFu ||
        !BCRYPT_SUCCESS(
            BCryptHashData(created, reinterpret_cast<PUCHAR>(const_cast<std::byte*>(data.data())),
                           static_cast<ULONG>(data.size()), 0)) ||
        !BCRYPT_SUCCESS(BCryptFinishHash(created, reinterpret_cast<PUCHAR>(digest.data()),
                                         static_cast<ULONG>(digest.size()), 0))) {
        return {};
    }
    return LowerHex(digest);
}

}  // namespace quarnex
