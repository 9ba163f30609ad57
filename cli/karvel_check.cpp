// karvel-check: the findings of a sector file and its companion file, one
// line each, then their counts. Exit status 0 with no error, 1 with one, 2
// when a file cannot be read.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "core/error.h"
#include "core/magnetic.h"
#include "core/numtext.h"
#include "core/program_folder.h"
#include "navdb/dsn.h"
#include "program/check_files.h"
#include "sector/check.h"

using namespace karvel;

namespace {

const char* const kUsage =
    "usage : karvel-check FICHIER.sct|FICHIER.sct2 [FICHIER.ese] [--database BASE]\n"
    "                     [--date AAAA-MM-JJ] [--json]\n"
    "\n"
    "Vérifie un fichier secteur des clients radar et son fichier compagnon, quel\n"
    "que soit le programme qui les a écrits : une ligne par constat,\n"
    "FICHIER:LIGNE: erreur|avertissement: message [code], puis leur nombre.\n"
    "\n"
    "  --database BASE    chaque aéroport, seuil de piste, balise et point comparé à\n"
    "                     ceux de cette base, SQLite ou Access (le cycle courant) :\n"
    "                     déplacé de plus de 100 m, fréquence changée, disparu\n"
    "  --date AAAA-MM-JJ  les caps de piste comparés au nord magnétique de ce jour\n"
    "                     (le modèle WMM2025.COF du dossier courant ou installé) ;\n"
    "                     sans elle, au seul relèvement vrai de la piste\n"
    "  --json             les constats en JSON (UTF-8) sur la sortie standard\n"
    "  --help             ce texte\n"
    "\n"
    "Code de sortie : 0 sans erreur, 1 avec au moins une, 2 si un fichier ne peut\n"
    "pas être lu.\n";

struct Options {
    std::string sector, companion, date, database;
    bool json = false;
};

Options options(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--json") {
            o.json = true;
        } else if (a == "--database") {
            if (i + 1 >= argc) throw Error(w1252("--database attend un fichier"));
            o.database = argv[++i];
        } else if (a == "--date") {
            if (i + 1 >= argc) throw Error(w1252("--date attend une date AAAA-MM-JJ"));
            o.date = argv[++i];
        } else if (a.rfind("--", 0) == 0) {
            throw Error(w1252("option inconnue : ") + utf8_to_cp1252(a) + " (voir --help)");
        } else if (o.sector.empty()) {
            o.sector = a;
        } else if (o.companion.empty()) {
            o.companion = a;
        } else {
            throw Error(w1252("un fichier secteur et un fichier compagnon au plus (voir --help)"));
        }
    }
    if (o.sector.empty()) throw Error(w1252("quel fichier secteur ? (voir --help)"));
    return o;
}

MagneticModel model() {
    std::string path = kMagneticModelFile;
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        if (const auto data = installed_data_dir()) path = *data + "/" + kMagneticModelFile;
    return MagneticModel::read(path);
}

// Where an Access database's SQLite copy is made: the user's program folder
// of an installed karvel, which keeps it for the next run; else a temporary
// folder that goes when the check ends.
struct CacheFolder {
    std::string path;
    bool temporary = false;
    CacheFolder() {
        if (const auto data = installed_data_dir()) {
            path = prepare_user_folder(*data) + "/cache";
            return;
        }
        std::error_code ec;
        const auto dir = std::filesystem::temp_directory_path(ec) /
                         ("karvel-check-" + std::to_string(::getpid()));
        path = from_fs_path(dir);
        temporary = true;
    }
    ~CacheFolder() {
        std::error_code ec;
        if (temporary) std::filesystem::remove_all(fs_path(path), ec);
    }
    CacheFolder(const CacheFolder&) = delete;
    CacheFolder& operator=(const CacheFolder&) = delete;
};

std::string json_text(const std::string& s) {
    std::string out;
    for (const char c : cp1252_to_utf8(s)) {
        if (c == '"' || c == '\\') out += '\\';
        if (static_cast<unsigned char>(c) < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
            continue;
        }
        out += c;
    }
    return out;
}

void print(const std::vector<Finding>& found, bool json) {
    if (!json) {
        for (const Finding& f : found) std::puts(cp1252_to_utf8(finding_text(f)).c_str());
        return;
    }
    std::puts("[");
    for (size_t i = 0; i < found.size(); ++i) {
        const Finding& f = found[i];
        std::printf(
            "{\"file\":\"%s\",\"line\":%zu,\"level\":\"%s\",\"code\":\"%s\",\"message\":\"%s\"}%"
            "s\n",
            json_text(f.file).c_str(), f.line, f.error ? "erreur" : "avertissement",
            json_text(f.code).c_str(), json_text(f.message).c_str(),
            i + 1 < found.size() ? "," : "");
    }
    std::puts("]");
}

}  // namespace

int main(int argc, char** argv) {
    if (print_help_if_asked(argc, argv, cp1252_to_utf8(w1252(kUsage)).c_str())) return 0;
    Options o;
    CheckOptions check;
    MagneticModel magnetic;
    try {
        o = options(argc, argv);
        if (!o.date.empty()) {
            Date d;
            if (!parse_date(o.date, d))
                throw Error(w1252("--date : AAAA-MM-JJ, un jour qui existe"));
            magnetic = model();
            if (!magnetic.covers(d))
                throw Error(w1252("--date : hors de la période du modèle magnétique"));
            check.magnetic = &magnetic;
            check.year = decimal_year(d);
        }
    } catch (const std::exception& e) {
        return report_failure("karvel-check", e);
    }
    std::vector<Finding> found;
    try {
        const SectorDefinitions defs = check_sector_file(o.sector, check, found);
        if (!o.companion.empty()) check_companion_file(o.companion, defs, found);
        if (!o.database.empty()) {
            Query query;
            std::optional<CacheFolder> cache;
            if (is_access_file(o.database)) cache.emplace();
            query.set_connection(file_connection(o.database, cache ? cache->path : "", nullptr));
            compare_with_database(query, defs, o.sector, found);
        }
    } catch (const std::exception& e) {
        print(found, o.json);
        report_failure("karvel-check", e);
        return 2;
    }
    print(found, o.json);
    size_t errors = 0;
    for (const Finding& f : found) errors += f.error;
    std::fprintf(stderr, "%s\n",
                 cp1252_to_utf8("karvel-check : " + std::to_string(errors) + w1252(" erreur(s), ") +
                                std::to_string(found.size() - errors) + w1252(" avertissement(s)"))
                     .c_str());
    return errors ? 1 : 0;
}
