// Build step: writes the blank FAT12 volume that the program formats images
// and stores from. Usage: quarnex_make_template <output file>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "fat12/fat12_volume.hpp"
#include "fat12/geometry.hpp"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output file>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path output(argv[1]);
    std::vector<std::byte> image(quarnex::fat12::kVolumeBytes);
    quarnex::fat12::BuildBlankVolume(image, "QUARNEX");
    std::error_code error;
    std::filesystem::create_directories(output.parent_path(), error);
    std::ofstream file(output, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(image.data()),
               static_cast<std::streamsize>(image.size()));
    file.close();
    if (!file) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
