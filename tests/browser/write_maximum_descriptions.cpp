// Writes the descriptions of the longest line the compiler accepts into a folder, so tests
// outside C++ (the browser checks of the route viewer) can compile and view it.
//   write_maximum_descriptions DIR  ->  DIR/Massima_linea.txt, DIR/Massima_1-.txt

#include <filesystem>
#include <iostream>

#include "ground/files.hpp"
#include "support/generated_descriptions.hpp"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: write_maximum_descriptions DIR\n";
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    try {
        compattatore::replace_file(dir / "Massima_linea.txt",
                                   compattatore::testing::maximum_line_description());
        compattatore::replace_file(dir / "Massima_1-.txt",
                                   compattatore::testing::maximum_train_description());
    } catch (const std::exception& e) {
        std::cerr << "write_maximum_descriptions: " << e.what() << "\n";
        return 2;
    }
    return 0;
}
