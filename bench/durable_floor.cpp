// The floor the whole default run is measured against: puts given files into a folder the same
// durable way the run writes its files (a temporary file flushed to the disk, renamed over the
// final name, the folder flushed), copying in the kernel with nothing else to do.
// Usage: durable_floor FOLDER FILE...
#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

bool durable_copy(const std::filesystem::path& from, const std::filesystem::path& folder) {
    const std::filesystem::path to = folder / from.filename();
    std::string tmp_name = ".";
    tmp_name += from.filename().string();
    tmp_name += ".tmp-floor";
    const std::filesystem::path tmp = folder / tmp_name;
    const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    const int out = open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    struct stat st {};
    bool ok = in >= 0 && out >= 0 && fstat(in, &st) == 0;
    for (off_t done = 0; ok && done < st.st_size;) {
        const ssize_t n = sendfile(out, in, &done, static_cast<std::size_t>(st.st_size - done));
        ok = n > 0;
    }
    ok = ok && fsync(out) == 0;
    if (in >= 0) close(in);
    if (out >= 0) ok = close(out) == 0 && ok;
    ok = ok && std::rename(tmp.c_str(), to.c_str()) == 0;
    const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ok = ok && dir >= 0 && fsync(dir) == 0;
    if (dir >= 0) close(dir);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: durable_floor FOLDER FILE...\n", stderr);
        return 2;
    }
    for (int i = 2; i < argc; ++i) {
        if (!durable_copy(argv[i], argv[1])) {
            std::perror(argv[i]);
            return 3;
        }
    }
    return 0;
}
