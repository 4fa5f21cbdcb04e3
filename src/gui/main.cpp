// quarnex: the GUI program. It takes a file to open, --help and --version.

#include "gui/program.hpp"

int main(int argc, char** argv) {
    return quarnex::Main(argc, argv);
}
