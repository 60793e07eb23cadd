#pragma once
// Standard output as the commands write it: what they print must arrive, so a write that fails
// (a full disk, a closed or unwritable file) is remembered with the system's reason, for the
// command to end with one line and a failure status instead of exiting 0 with output lost.

#include <array>
#include <streambuf>

namespace compattatore {

class standard_output final : public std::streambuf {
  public:
    standard_output();
    ~standard_output() override;
    standard_output(const standard_output&) = delete;
    standard_output& operator=(const standard_output&) = delete;

    // 0, or the error number of the first write that failed; what follows it is dropped.
    int error() const { return error_; }

  protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;

  private:
    void write_out(const char* s, std::size_t n);
    std::array<char, 1 << 16> buffer_;
    int error_ = 0;
};

}  // namespace compattatore
