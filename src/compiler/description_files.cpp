#include "compiler/description_files.hpp"

#include "ground/files.hpp"

namespace compattatore {

std::optional<std::string> scratch_description_files::read_line_description() {
    return read_file(line_path_);
}
std::optional<std::string> scratch_description_files::read_train_description() {
    return read_file(train_path_);
}
void scratch_description_files::discard_line_description() {
    delete_file(line_path_);
}
void scratch_description_files::discard_train_description() {
    delete_file(train_path_);
}

}  // namespace compattatore
