// The settings file: one object open for the whole run.
//
// Reading goes through SimpleIni (section and key names without regard to
// case, keys in file order). Writing one value edits only that value's line
// in the file's own bytes, so every other key, comment, blank line and line
// end stays as it was, and the file is replaced atomically (a temporary file
// beside it, renamed over it), never left half-written.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace karvel {

class IniFile {
  public:
    IniFile();
    ~IniFile();
    IniFile(IniFile&&) noexcept;
    IniFile& operator=(IniFile&&) noexcept;

    // Opening never fails: a missing or unreadable file reads as empty.
    void open(std::string path);
    const std::string& path() const { return path_; }

    // The value, or `fallback` when the section or key is missing.
    std::string read(std::string_view section, std::string_view key,
                     std::string_view fallback = "ERROR") const;
    // Keys of a section in file order (empty when the section is missing).
    std::vector<std::string> keys(std::string_view section) const;

    // Writes one value; throws Error when the file cannot be written.
    void write(std::string_view section, std::string_view key, std::string_view value);

  private:
    void load(std::string_view content);
    struct Data;
    std::string path_;
    std::unique_ptr<Data> data_;
};

// The file's bytes with one value set, as described above (exposed for tests).
std::string ini_set_value(std::string_view content, std::string_view section, std::string_view key,
                          std::string_view value);

std::string read_file_bytes(const std::string& path);

}  // namespace karvel
