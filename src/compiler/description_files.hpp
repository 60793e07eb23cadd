#pragma once
// Where the compiler gets its two description texts and what it does with them afterwards. The
// default run reads scratch files beside the executable and deletes each once read; an author's
// compile, the tests and the fuzzers hand over bytes that must never be deleted.

#include <filesystem>
#include <optional>
#include <string>

namespace compattatore {

class description_files {
  public:
    virtual ~description_files() = default;
    // The whole text, or nullopt when there is none. May throw file_error.
    virtual std::optional<std::string> read_line_description() = 0;
    virtual std::optional<std::string> read_train_description() = 0;
    // Called when the compiler is done with a text, in every outcome. May throw file_error.
    virtual void discard_line_description() = 0;
    virtual void discard_train_description() = 0;
};

// The run's scratch files: read from, then deleted in, the application path.
class scratch_description_files final : public description_files {
  public:
    scratch_description_files(std::filesystem::path line_path, std::filesystem::path train_path)
        : line_path_(std::move(line_path)), train_path_(std::move(train_path)) {}
    std::optional<std::string> read_line_description() override;
    std::optional<std::string> read_train_description() override;
    void discard_line_description() override;
    void discard_train_description() override;

  private:
    std::filesystem::path line_path_;
    std::filesystem::path train_path_;
};

// Texts held in memory; nothing is ever deleted. nullopt stands for a missing file.
class borrowed_description_files final : public description_files {
  public:
    borrowed_description_files(std::optional<std::string> line, std::optional<std::string> train)
        : line_(std::move(line)), train_(std::move(train)) {}
    std::optional<std::string> read_line_description() override { return line_; }
    std::optional<std::string> read_train_description() override { return train_; }
    void discard_line_description() override { ++line_discards; }
    void discard_train_description() override { ++train_discards; }

    int line_discards = 0;
    int train_discards = 0;

  private:
    std::optional<std::string> line_;
    std::optional<std::string> train_;
};

}  // namespace compattatore
