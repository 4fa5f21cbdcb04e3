#include "fat12/volume_serial.hpp"

namespace quarnex::fat12 {

namespace {

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(int year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const int era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return std::int64_t{era} * 146097 + dayOfEra - 719468;
}

// A bijection of 32-bit numbers (the last step of MurmurHash3), so that
// distinct counts stay distinct serials.
std::uint32_t Scramble(std::uint32_t value) {
    value ^= value >> 16;
    value *= 0x85EBCA6Bu;
    value ^= value >> 13;
    value *= 0xC2B2AE35u;
    value ^= value >> 16;
    return value;
}

}  // namespace

std::uint32_t VolumeSerialNumber(const Stamp& formatted, unsigned slot) {
    const int year = 1980 + (formatted.date >> 9);
    const unsigned month = (formatted.date >> 5) & 0x0F;
    const unsigned day = formatted.date & 0x1F;
    const std::int64_t days = DaysFromCivil(year, month, day) - DaysFromCivil(1980, 1, 1);
    const std::int64_t seconds = days * 86400 + (formatted.time >> 11) * 3600 +
                                 ((formatted.time >> 5) & 0x3F) * 60 + (formatted.time & 0x1F) * 2 +
                                 formatted.hundredths / 100;
    const auto count = static_cast<std::uint64_t>(seconds) * kSerialSlots + slot % kSerialSlots;
    return Scramble(static_cast<std::uint32_t>(count));
}

bool WriteVolumeSerial(std::span<std::byte> image, std::uint32_t serial) {
    if (image.size() < kSerialOffset + sizeof(Le32)) {
        return false;
    }
    Le32 field;
    field.Set(serial);
    StoreRecord(image, kSerialOffset, field);
    return true;
}

}  // namespace quarnex::fat12
