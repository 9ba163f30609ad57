// Windows-1252 text at the borders of the core.
//
// Inside the core every text is a std::string of Windows-1252 bytes, as in the
// files the program reads and writes. The helpers below convert at the edges:
// UTF-8 from the database engines and the command line, QString for the
// windows, native (UTF-8) file names for the file system.
#pragma once

#include <QString>
#include <filesystem>
#include <string>
#include <string_view>

namespace karvel {

// UTF-8 to Windows-1252; a character outside the code page becomes '?'.
// Invalid UTF-8 bytes are taken as Windows-1252 bytes as they stand.
std::string utf8_to_cp1252(std::string_view utf8);
std::string cp1252_to_utf8(std::string_view text);

QString to_qstring(std::string_view text);
std::string from_qstring(const QString& text);

// File paths are the system's own bytes (UTF-8 here) from end to end; only
// where a path is shown or stored in a Windows-1252 file is it converted.
std::filesystem::path fs_path(std::string_view native);
std::string from_fs_path(const std::filesystem::path& path);
// A path as text to show (a character outside the code page becomes '?').
std::string path_text(std::string_view native);
// A path stored in a Windows-1252 file, back to the system's bytes.
std::string path_from_text(std::string_view text);
// A path as Windows-1252 text to store; false when it has a character the
// code page cannot hold.
bool path_to_text(std::string_view native, std::string& text);
// Strict UTF-8 to Windows-1252: false for a character the code page cannot
// hold or a byte that is not UTF-8.
bool utf8_to_cp1252_strict(std::string_view utf8, std::string& out);

// Letter case folding of the code page (ASCII and the accented letters).
unsigned char fold_case(unsigned char c);
bool equals_nocase(std::string_view a, std::string_view b);

// A UTF-8 text the sector file can hold as it is: every character in
// Windows-1252, none a control character (a line break would forge lines).
bool sector_text(std::string_view utf8, std::string& out);

// Why a system call failed, in French (errno's value); the system's own
// words for the rare ones.
std::string system_error_text(int error);

// The text with its ASCII letters in capitals (other bytes as they are).
std::string upper_ascii(std::string text);

}  // namespace karvel
