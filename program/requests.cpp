#include "program/requests.h"

#include <algorithm>
#include <cctype>

#include "core/cp1252.h"
#include "core/numtext.h"
#include "core/regions.h"
#include "sector/airspace.h"

namespace karvel {
namespace {

// How the window and the command name each input.
struct InputNames {
    Input input;
    const char* option;
    const char* field;  // the window's field, where a refusal names it
};
constexpr InputNames kInputs[] = {
    {Input::airport, "--airport", "le champ \"ICAO\" de l'aéroport"},
    {Input::radius, "--radius", ""},
    {Input::region, "--region", ""},
    {Input::name, "--name", "le champ \"Nom\" du secteur"},
    {Input::callsign, "--callsign", "le champ \"CallSign\" du secteur"},
    {Input::sector_icao, "--sector-icao", "le champ \"ICAO\" du secteur"},
    {Input::date, "--date", ""},
    {Input::centrelines, "--centrelines", ""},
    {Input::ground, "--ground", ""},
    {Input::client_file, "--client-format", ""},
    {Input::sectors, "--sectors", ""},
};

const InputNames& names(Input input) {
    return *std::find_if(std::begin(kInputs), std::end(kInputs),
                         [&](const InputNames& n) { return n.input == input; });
}

bool decimal_digits(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// A whole number typed in decimal digits, at least `least`; `range` says
// what it must be when it is an integer written otherwise or too small.
int32_t whole_number(Input input, const std::string& text, int32_t least, const char* range) {
    int32_t value = 0;
    if (!try_str_to_int(text, value))  // the toolkit's own words for what is no integer
        throw Refusal(input, quoted_value(text) + w1252(" n'est pas une valeur entière correcte"));
    if (!decimal_digits(text) || value < least)
        throw Refusal(input,
                      w1252(range) + w1252(", écrit en chiffres : pas ") + quoted_value(text));
    return value;
}

// A text the sector file can hold as it is, in Windows-1252.
std::string file_text(Input input, const std::string& typed) {
    std::string text;
    if (!sector_text(typed, text))
        throw Refusal(input, "L" + w1252(names(input).field).substr(1) +
                                 w1252(" contient un caractère que le fichier secteur ne peut pas "
                                       "contenir"));
    return text;
}

}  // namespace

const char* option_of(Input input) {
    return names(input).option;
}

std::string command_refusal(const Refusal& refusal) {
    return std::string(option_of(refusal.input)) + " : " + refusal.what();
}

AirportRequest airport_request(const std::string& icao, const std::string& radius) {
    AirportRequest r;
    r.icao = file_text(Input::airport, icao);
    r.radius_nm =
        whole_number(Input::radius, radius, 1,
                     "Le rayon de la sélection doit être un nombre de milles supérieur à 0");
    r.radius_text = radius;
    return r;
}

RegionRequest region_at(const ProgramInfo& info, size_t index) {
    return {info.region_codes.at(index), info.region_lines.at(index)};
}

RegionRequest region_request(const ProgramInfo& info, const std::string& typed,
                             bool everything_allowed) {
    if (typed.empty() && everything_allowed) return {};
    std::string code;
    const int p = utf8_to_cp1252_strict(typed, code) && code.size() == 2
                      ? find_region_code(info.region_codes, code)
                      : -1;
    if (p < 0) throw Refusal(Input::region, "code invalide");
    return region_at(info, static_cast<size_t>(p));
}

std::string selection_text(const SelectionRequest& request) {
    if (const auto* a = std::get_if<AirportRequest>(&request))
        return a->icao + ":" + a->radius_text + "nm";
    return std::get<RegionRequest>(request).line;
}

std::string sector_file_name(const std::optional<SelectionRequest>& request,
                             const std::string& extension) {
    std::string stem;
    if (request) {
        if (const auto* a = std::get_if<AirportRequest>(&*request))
            stem = a->icao + "_" + a->radius_text + "nm";
        else
            stem = std::get<RegionRequest>(*request).code;
    }
    if (stem.empty()) stem = "tout";
    return safe_file_stem(stem) + "." + extension;
}

ClientFile client_file_request(const std::string& text) {
    if (text.empty()) return ClientFile::sct_regions;
    if (text == "sct2") return ClientFile::sct2;
    if (text == "sct") return ClientFile::sct;
    throw Refusal(Input::client_file,
                  w1252("fichier des clients radar inconnu : ") + utf8_to_cp1252(text) +
                      w1252(" (sct2 ou sct)"));
}

std::vector<std::string> sector_kinds_request(const std::string& text) {
    std::vector<std::string> kinds;
    std::string word;
    const auto take = [&] {
        if (word.empty()) return;
        const std::string kind = upper_ascii(word);
        word.clear();
        if (std::none_of(kSectorKinds.begin(), kSectorKinds.end(),
                         [&](const char* k) { return kind == k; }))
            throw Refusal(Input::sectors, w1252("genre de secteur inconnu : ") +
                                              utf8_to_cp1252(kind.substr(0, 20)) +
                                              w1252(" (FIR, UIR, CTA, TMA, CTR ou ATZ)"));
        if (std::find(kinds.begin(), kinds.end(), kind) == kinds.end()) kinds.push_back(kind);
    };
    for (const char c : text) {
        if (c == ',' || c == ';' || std::isspace(static_cast<unsigned char>(c)))
            take();
        else
            word += c;
    }
    take();
    return kinds;
}

const char* client_file_extension(ClientFile file) {
    return file == ClientFile::sct2 ? "sct2" : "sct";
}

std::string safe_file_stem(std::string stem) {
    for (char& c : stem)
        if (c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' ||
            c == '>' || c == '|' || static_cast<unsigned char>(c) < 32)
            c = '_';
    return stem;
}

SectorIdentity identity_request(const std::string& name, const std::string& callsign,
                                const std::string& sector_icao, bool client) {
    const SectorIdentity identity{file_text(Input::name, name),
                                  file_text(Input::callsign, callsign),
                                  file_text(Input::sector_icao, sector_icao)};
    if (!client) return identity;
    const IdentityFault fault = client_identity_fault(identity);
    if (fault.field < 0) return identity;
    const Input input = fault.field == 0   ? Input::name
                        : fault.field == 1 ? Input::callsign
                                           : Input::sector_icao;
    const std::string field = w1252(names(input).field);
    if (fault.blank)
        throw Refusal(input, w1252("Format des clients radar : remplissez ") + field +
                                 w1252(" (aucune ligne de [INFO] ne peut rester vide)"));
    throw Refusal(input, w1252("Format des clients radar : ") + field +
                             w1252(" ne peut pas commencer par ';', '[' ni '#'"));
}

int32_t centrelines_request(const std::string& text) {
    return whole_number(Input::centrelines, text, 0,
                        "Les axes de piste se prolongent d'un nombre de milles positif ou nul");
}

Date date_request(const std::string& text) {
    Date d;
    if (!parse_date(text, d))
        throw Refusal(Input::date,
                      w1252("La date du nord magnétique doit être une date AAAA-MM-JJ qui existe, "
                            "pas ") +
                          quoted_value(text));
    return d;
}

std::vector<std::string> ground_request(const std::string& typed, bool some_needed) {
    const std::string text = utf8_to_cp1252(typed);  // shown as typed in a refusal
    std::vector<std::string> codes;
    std::string code;
    const auto refuse = [&] {
        return Refusal(Input::ground, w1252("code OACI invalide : ") + code);
    };
    const auto take = [&] {
        if (code.empty()) return;
        if (code.size() < 3) throw refuse();
        if (std::find(codes.begin(), codes.end(), code) == codes.end()) codes.push_back(code);
        code.clear();
    };
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == ',' || c == ' ' || c == '\t' || c == ';') {
            take();
            continue;
        }
        code += std::isalnum(u) && u < 0x80 ? static_cast<char>(std::toupper(u)) : c;
        if (!(std::isalnum(u) && u < 0x80) || code.size() > 4) throw refuse();
    }
    take();
    if (codes.empty() && some_needed) throw Refusal(Input::ground, w1252("aucun code OACI"));
    return codes;
}

}  // namespace karvel
