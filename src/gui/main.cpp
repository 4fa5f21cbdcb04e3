// quarnex: the GUI program. It takes no arguments of its own.

#include "gui/program.hpp"

int main(int argc, char** argv) {
    return quarnex::Main(argc, argv);
}
