#include "core/cp1252.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "core/numtext.h"

namespace karvel {
namespace {

// Unicode code points of the bytes 0x80..0x9F; the five bytes the code page
// leaves undefined map to the C1 control of the same value, as Windows does.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t byte_to_unicode(unsigned char b) {
    if (b >= 0x80 && b < 0xA0) return kHigh[b - 0x80];
    return b;
}

int unicode_to_byte(char32_t u) {
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<int>(u);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == u) return 0x80 + i;
    return -1;
}

void append_utf8(std::string& out, char32_t u) {
    if (u < 0x80) {
        out += static_cast<char>(u);
    } else if (u < 0x800) {
        out += static_cast<char>(0xC0 | (u >> 6));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (u >> 12));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    }
}

constexpr std::array<unsigned char, 256> make_fold_table() {
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 256; ++i) t[i] = static_cast<unsigned char>(i);
    for (int c = 'A'; c <= 'Z'; ++c) t[c] = static_cast<unsigned char>(c + 32);
    for (int c = 0xC0; c <= 0xDE; ++c)
        if (c != 0xD7) t[c] = static_cast<unsigned char>(c + 32);
    t[0x8A] = 0x9A;  // S caron
    t[0x8C] = 0x9C;  // OE
    t[0x8E] = 0x9E;  // Z caron
    t[0x9F] = 0xFF;  // Y diaeresis
    return t;
}
constexpr std::array<unsigned char, 256> kFold = make_fold_table();

}  // namespace

namespace {
// UTF-8 to the code page; strict: false at the first byte that is not UTF-8
// or character the code page lacks (lenient: '?' for those characters, other
// bytes kept as they are).
bool convert_utf8(std::string_view s, std::string& out, bool strict) {
    out.clear();
    out.reserve(s.size());
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const size_t n = s.size();
    size_t i = 0;
    while (i < n) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        int len = 0;
        char32_t u = 0;
        if ((c & 0xE0) == 0xC0) {
            len = 2;
            u = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
            u = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4;
            u = c & 0x07;
        }
        bool ok = len > 0 && i + len <= n;
        for (int k = 1; ok && k < len; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                ok = false;
            else
                u = (u << 6) | (p[i + k] & 0x3F);
        }
        if (!ok) {  // not UTF-8: keep the byte as a code page byte
            if (strict) return false;
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        const int b = unicode_to_byte(u);
        if (b < 0 && strict) return false;
        out += b < 0 ? '?' : static_cast<char>(b);
        i += len;
    }
    return true;
}
}  // namespace

std::string utf8_to_cp1252(std::string_view s) {
    std::string out;
    convert_utf8(s, out, false);
    return out;
}

bool utf8_to_cp1252_strict(std::string_view utf8, std::string& out) {
    return convert_utf8(utf8, out, true);
}

std::string cp1252_to_utf8(std::string_view s) {
    std::string out;
    out.reserve(s.size() + s.size() / 8);
    for (unsigned char c : s) append_utf8(out, byte_to_unicode(c));
    return out;
}

QString to_qstring(std::string_view s) {
    QString out;
    out.resize(static_cast<qsizetype>(s.size()));
    QChar* d = out.data();
    for (size_t i = 0; i < s.size(); ++i)
        d[i] = QChar(static_cast<char16_t>(byte_to_unicode(static_cast<unsigned char>(s[i]))));
    return out;
}

std::string from_qstring(const QString& s) {
    std::string out;
    out.reserve(static_cast<size_t>(s.size()));
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t u = s.at(i).unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < s.size() && s.at(i + 1).isLowSurrogate()) {
            out += '?';  // a character beyond the basic plane
            ++i;
            continue;
        }
        const int b = unicode_to_byte(u);
        out += b < 0 ? '?' : static_cast<char>(b);
    }
    return out;
}

std::filesystem::path fs_path(std::string_view native) {
    return std::filesystem::path(native);
}

std::string from_fs_path(const std::filesystem::path& path) {
    return path.string();
}

std::string path_text(std::string_view native) {
    return utf8_to_cp1252(native);
}

std::string path_from_text(std::string_view text) {
    return cp1252_to_utf8(text);
}

bool path_to_text(std::string_view native, std::string& text) {
    return utf8_to_cp1252_strict(native, text);
}

unsigned char fold_case(unsigned char c) {
    return kFold[c];
}

bool equals_nocase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (kFold[static_cast<unsigned char>(a[i])] != kFold[static_cast<unsigned char>(b[i])])
            return false;
    return true;
}

bool sector_text(std::string_view utf8, std::string& out) {
    if (!utf8_to_cp1252_strict(utf8, out)) return false;
    for (const unsigned char c : out)
        if (c < 0x20 || c == 0x7F) return false;
    return true;
}

std::string system_error_text(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return w1252("permission refusée");
        case ENOENT:
            return w1252("fichier ou dossier inexistant");
        case ENOTDIR:
            return w1252("un élément du chemin n'est pas un dossier");
        case EISDIR:
            return w1252("c'est un dossier");
        case ENAMETOOLONG:
            return w1252("nom trop long");
        case ENOSPC:
        case EDQUOT:
            return w1252("plus de place sur le disque");
        case EROFS:
            return w1252("système de fichiers en lecture seule");
        case EEXIST:
            return w1252("le fichier existe déjà");
        case EXDEV:
            return w1252("pas sur le même système de fichiers");
        case EIO:
            return w1252("erreur d'entrée-sortie");
        case ELOOP:
            return w1252("trop de liens symboliques");
        case EMFILE:
        case ENFILE:
            return w1252("trop de fichiers ouverts");
        case EFBIG:
            return w1252("fichier trop grand pour la limite de taille des fichiers");
        case ENXIO:
            return w1252("personne ne lit à l'autre bout");
        case EPIPE:
            return w1252("le lecteur s'est arrêté");
        case EBUSY:
        case ETXTBSY:
            return w1252("fichier occupé");
        case ENOMEM:
            return w1252("mémoire insuffisante");
        default:
            return utf8_to_cp1252(std::strerror(error));
    }
}

std::string upper_ascii(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return text;
}

}  // namespace karvel
