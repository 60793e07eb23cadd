// The file work of the run on Windows: replacing a file that exists (the rename must go over it),
// failures that leave the old file and no temporary behind, and the application path.

#include "ground/files.hpp"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/platform.hpp"
#include "win_check.hpp"

namespace fs = std::filesystem;

namespace {

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void spit(const fs::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

int entries(const fs::path& dir) {
    int n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++n;
    return n;
}

template <class F>
bool throws_file_error(F&& f) {
    try {
        f();
    } catch (const compattatore::file_error&) {
        return true;
    }
    return false;
}

}  // namespace

int main() {
    using compattatore::replace_file;
    win_check::recorder r("files_test");

    const fs::path dir =
        fs::temp_directory_path() / ("compattatore-files-" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path target = dir / "Torino_Piacenza_2063.sim";

    // A new file, then a shorter one over it: no tail of the longer one may survive.
    replace_file(target, std::string("0123456789\r\nabcdef\r\n"));
    r.equal(slurp(target), std::string("0123456789\r\nabcdef\r\n"), "new file");
    replace_file(target, std::string("xy\r\n"));
    r.equal(slurp(target), std::string("xy\r\n"), "replaced by a shorter file");
    replace_file(target, std::string(1, '\0') + "\x1a\xff");
    r.equal(slurp(target), std::string(1, '\0') + "\x1a\xff", "bytes kept as they are");
    replace_file(target, std::string());
    r.equal(slurp(target), std::string(), "replaced by an empty file");
    r.equal(entries(dir), 1, "only the target in the folder");

    // A file that another program holds open (the simulator reading it, say) cannot be replaced:
    // the old bytes stay and no temporary is left.
    spit(target, "old");
    HANDLE held = CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    r.check(held != INVALID_HANDLE_VALUE, "holding the file open");
    r.check(throws_file_error([&] { replace_file(target, std::string("new")); }),
            "replacing a file held open fails");
    CloseHandle(held);
    r.equal(slurp(target), std::string("old"), "held file unchanged");
    r.equal(entries(dir), 1, "no temporary left after the failure");

    // A folder where the file should be.
    const fs::path blocked = dir / "blocked";
    fs::create_directory(blocked);
    r.check(throws_file_error([&] { replace_file(blocked, std::string("x")); }),
            "replacing a folder fails");
    r.check(fs::is_directory(blocked), "the folder is still there");
    r.equal(entries(dir), 2, "no temporary left beside the folder");
    r.check(throws_file_error([&] { replace_file(dir / "missing" / "f.txt", std::string("x")); }),
            "writing into a missing folder fails");

    // Deleting, and reading what is not there.
    compattatore::delete_file(target);
    r.check(!fs::exists(target), "deleted");
    r.check(!compattatore::read_file(target).has_value(), "reading a missing file gives nothing");
    compattatore::delete_file(target);  // deleting twice is not an error
    fs::remove_all(dir);

    // Every file of the run lives beside the executable, joined with a backslash.
    const fs::path app = compattatore::application_path(nullptr);
    r.equal(app.wstring(), fs::path(win_check::own_path()).parent_path().wstring(),
            "application path is the executable's folder");
    r.equal((app / "Torino_Piacenza_linea.dat").wstring(),
            app.wstring() + L"\\Torino_Piacenza_linea.dat", "paths are joined with a backslash");

    return r.finish();
}
