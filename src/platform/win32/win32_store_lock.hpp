#pragma once
// The lock every writer of a store takes. On a store file, LockFileEx on a
// byte far past its end: no program reads or writes there, so the holder's
// own handles keep working while a second locker is refused. On a raw disk,
// a named mutex per physical drive.

#include <string>

#include "ports/device_backend.hpp"

namespace quarnex {

// The byte the store file lock covers.
inline constexpr unsigned long long kLockedByte = 0x7fff'ffff'0000'0000ULL;

LockResult LockStoreFile(const std::string& path, LockKind kind);
// Readers and writers of a disk alike take the drive's mutex.
LockResult LockDrive(const std::string& devicePath);

}  // namespace quarnex
