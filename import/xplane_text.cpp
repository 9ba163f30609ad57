#include "import/xplane_text.h"

#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <utility>

#include "core/cp1252.h"
#include "core/error.h"
#include "core/geometry.h"
#include "core/numtext.h"

namespace karvel::xplane {

// ---- lines -------------------------------------------------------------------

namespace {

LineReader::Progress g_progress;

// What zlib found wrong, in French.
std::string gzip_error(int code) {
    switch (code) {
        case Z_BUF_ERROR:
            return w1252("fin de fichier inattendue (fichier gzip tronqué)");
        case Z_DATA_ERROR:
            return w1252("données gzip invalides");
        case Z_MEM_ERROR:
            return w1252("mémoire insuffisante pour le décompresser");
        case Z_ERRNO:
            return system_error_text(errno);
        default:
            return w1252("erreur de décompression (code ") + std::to_string(code) + ")";
    }
}

}  // namespace

void LineReader::set_progress(Progress progress) {
    g_progress = std::move(progress);
}

LineReader::LineReader(const std::string& path) : path_(path) {
    file_ = gzopen(path.c_str(), "rb");  // plain files read through as they are
    if (!file_) throw Error(w1252("Impossible d'ouvrir le fichier \"") + path_text(path) + "\"");
    gzbuffer(static_cast<gzFile>(file_), 1 << 18);
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        size_ = static_cast<double>(st.st_size);
}

LineReader::~LineReader() {
    // A reader may stop at the file's end row: the file is read all the same.
    if (g_progress && size_ > 0 && std::uncaught_exceptions() == 0) g_progress(path_, 1.0);
    if (file_) gzclose(static_cast<gzFile>(file_));
}

void LineReader::fail(const std::string& what) const {
    throw Error(w1252("fichier \"") + path_text(path_) + "\", ligne " + std::to_string(number_) +
                " : " + what);
}

bool LineReader::fill() {
    if (at_ < end_) return true;
    buffer_.resize(1 << 18);
    auto* f = static_cast<gzFile>(file_);
    const int n = gzread(f, buffer_.data(), static_cast<unsigned>(buffer_.size()));
    int code = Z_OK;
    gzerror(f, &code);
    // A gzip stream cut short says so at the end of its data.
    if (n < 0 || (n == 0 && code != Z_OK && code != Z_STREAM_END))
        throw Error(w1252("fichier \"") + path_text(path_) + "\", ligne " +
                    std::to_string(number_ + 1) + w1252(" : illisible ou tronqué : ") +
                    gzip_error(code));
    at_ = 0;
    end_ = static_cast<size_t>(n);
    if (g_progress && size_ > 0 && n > 0)
        g_progress(path_, std::min(0.99, static_cast<double>(gzoffset(f)) / size_));
    return n > 0;
}

bool LineReader::next(std::string& line) {
    line.clear();
    if (!started_) {
        started_ = true;
        // A UTF-8 byte-order mark: up to three bytes, told apart from text.
        const char bom[] = "\xEF\xBB\xBF";
        size_t k = 0;
        while (k < 3 && fill() && buffer_[at_] == bom[k]) {
            ++at_;
            ++k;
        }
        line.assign(bom, k);  // a partial mark is text like any other
        if (k == 3) line.clear();
    }
    bool any = !line.empty();
    for (;;) {
        if (!fill()) {
            if (!any) return false;
            break;
        }
        any = true;
        // The bytes up to the next line end (or NUL) go in at once.
        const char* from = buffer_.data() + at_;
        const char* to = buffer_.data() + end_;
        const char* stop = from;
        while (stop < to && *stop != '\n' && *stop != '\r' && *stop != '\0') ++stop;
        if (line.size() + static_cast<size_t>(stop - from) > kMaxLine) {
            ++number_;
            fail(w1252("ligne de plus de ") + std::to_string(kMaxLine) + w1252(" octets"));
        }
        line.append(from, stop);
        at_ += static_cast<size_t>(stop - from);
        if (stop == to) continue;
        const char c = buffer_[at_++];
        if (c == '\0') {
            ++number_;
            fail(w1252("octet 0x00 : ce n'est pas du texte"));
        }
        if (c == '\r' && fill() && buffer_[at_] == '\n') ++at_;
        break;
    }
    ++number_;
    return true;
}

std::vector<std::string_view> tokens(std::string_view s) {
    std::vector<std::string_view> out;
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
        const size_t start = i;
        while (i < s.size() && s[i] != ' ' && s[i] != '\t') ++i;
        if (i > start) out.push_back(s.substr(start, i - start));
    }
    return out;
}

// A text the import keeps (an ident, a name, a region): a control character
// in it would reach the lists and the sector file, so it stops the import.
// Rows the import does not keep may hold them (the world's apt.dat does).
std::string field(const LineReader& in, std::string_view t) {
    if (t.size() > kMaxField)
        in.fail(w1252("texte de plus de ") + std::to_string(kMaxField) + w1252(" octets : \"") +
                utf8_to_cp1252(std::string(t.substr(0, 40))) + "...\"");
    for (const char c : t) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            char code[8];
            std::snprintf(code, sizeof code, "0x%02X", u);
            std::string shown(t.substr(0, 40));
            for (char& k : shown)
                if (static_cast<unsigned char>(k) < 0x20 || k == 0x7F) k = '?';
            in.fail(w1252("caractère de contrôle ") + code + w1252(" dans \"") +
                    utf8_to_cp1252(shown) + "\"");
        }
    }
    return utf8_to_cp1252(std::string(t));
}

std::string rest(const LineReader& in, const std::vector<std::string_view>& t, size_t from) {
    std::string out;
    for (size_t i = from; i < t.size(); ++i) {
        if (!out.empty()) out += ' ';
        out += t[i];
    }
    return field(in, out);
}

// A decimal number: sign, digits, a point, an exponent; nothing else
// ("0x1p5", "inf" and "nan" are no numbers of these files).
bool decimal(const std::string& s) {
    size_t i = 0, digits = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i) ++digits;
    if (i < s.size() && s[i] == '.')
        for (++i; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i) ++digits;
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        size_t exponent = 0;
        for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i) ++exponent;
        if (exponent == 0) return false;
    }
    return i == s.size();
}

double number(const LineReader& in, std::string_view t, const char* what) {
    const std::string s(t);
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    if (!decimal(s) || *end != '\0' || !std::isfinite(v))
        in.fail(std::string(what) + " : \"" + utf8_to_cp1252(s.substr(0, 40)) +
                (s.size() > 40 ? "..." : "") + w1252("\" n'est pas un nombre"));
    return v;
}

// A whole number of any size the file may hold, defined for every value.
int whole(double v) {
    return static_cast<int>(std::clamp(nearest_even(v), -2147483647LL, 2147483647LL));
}

double latitude(const LineReader& in, std::string_view t) {
    const double v = number(in, t, "latitude");
    if (v < -90 || v > 90) in.fail(w1252("latitude hors de [-90, 90]"));
    return v;
}

double longitude(const LineReader& in, std::string_view t) {
    const double v = number(in, t, "longitude");
    if (v < -180 || v > 180) in.fail(w1252("longitude hors de [-180, 180]"));
    return v;
}

void need(const LineReader& in, const std::vector<std::string_view>& t, size_t n) {
    if (t.size() < n)
        in.fail(w1252("ligne incomplète (") + std::to_string(t.size()) + " champs sur " +
                std::to_string(n) + ")");
}

void check_version(LineReader& in, int version, std::initializer_list<int> known,
                   const char* kind) {
    if (std::find(known.begin(), known.end(), version) != known.end()) return;
    std::string list;
    for (int k : known) list += (list.empty() ? "" : ", ") + std::to_string(k);
    throw Error(w1252("fichier \"") + path_text(in.path()) + "\" : version " +
                std::to_string(version) + w1252(" de ") + kind + w1252(" inconnue (connues : ") +
                list + ")");
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

}  // namespace karvel::xplane
