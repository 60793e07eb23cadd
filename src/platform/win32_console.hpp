#pragma once
// The console program on Windows takes and prints the same bytes as the program on other
// systems. Arguments come from the wide command line as UTF-8, since the C runtime's argv is in
// the ANSI code page, which cannot hold every name a folder may have. Standard input, output and
// error carry bytes untouched: the C runtime would otherwise write every line end as CR LF (in
// JSON and SVG sent to a pipe as much as on the console) and drop the CR of every CR LF read.
// While the program runs the console shows UTF-8, so accented names print as they are; the code
// page the console had is given back at the end, since the console outlives the program.

#include <string>
#include <vector>

namespace compattatore {

class console_session {
  public:
    console_session();
    ~console_session();
    console_session(const console_session&) = delete;
    console_session& operator=(const console_session&) = delete;

    int argc() const { return static_cast<int>(args_.size()); }
    // The arguments in UTF-8, ended by a null pointer like main's.
    char** argv() { return pointers_.data(); }

  private:
    std::vector<std::string> args_;
    std::vector<char*> pointers_;
    unsigned earlier_code_page_ = 0;
};

}  // namespace compattatore
