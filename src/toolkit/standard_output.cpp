#include "toolkit/standard_output.hpp"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace compattatore {

standard_output::standard_output() {
    setp(buffer_.data(), buffer_.data() + buffer_.size());
}

standard_output::~standard_output() {
    sync();
}

void standard_output::write_out(const char* s, std::size_t n) {
    while (n > 0 && error_ == 0) {
        const ssize_t done = ::write(STDOUT_FILENO, s, n);
        if (done < 0) {
            if (errno != EINTR) error_ = errno;
            continue;
        }
        s += done;
        n -= static_cast<std::size_t>(done);
    }
}

int standard_output::sync() {
    write_out(pbase(), static_cast<std::size_t>(pptr() - pbase()));
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return error_ == 0 ? 0 : -1;
}

standard_output::int_type standard_output::overflow(int_type c) {
    sync();
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
}

std::streamsize standard_output::xsputn(const char* s, std::streamsize n) {
    const auto room = epptr() - pptr();
    if (n <= room) {
        std::memcpy(pptr(), s, static_cast<std::size_t>(n));
        pbump(static_cast<int>(n));
        return n;
    }
    // Larger than the buffer's room: what is buffered goes first, then the block itself.
    sync();
    write_out(s, static_cast<std::size_t>(n));
    return n;
}

}  // namespace compattatore
