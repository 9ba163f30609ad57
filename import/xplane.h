// Navigation data in the X-Plane formats (apt.dat, nav.dat, fix.dat,
// awy.dat and the CIFP procedure files, plain or gzip), read into plain
// records that the database writer turns into a karvel navigation database.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/codes.h"

namespace karvel::xplane {

struct RunwayEnds {
    std::string ident1, ident2;
    double lat1 = 0, lon1 = 0, lat2 = 0, lon2 = 0;
};

// An airport frequency of rows 50-56 or 1050-1056, in kHz.
struct FrequencyRec {
    FrequencyKind kind{};
    int32_t khz = 0;
    std::string name;
};

struct AirportRec {
    std::string icao, name, region;  // region: the format's, or empty
    double lat = 0, lon = 0;
    int elevation = 0;  // feet
    std::vector<RunwayEnds> runways;
    std::vector<FrequencyRec> frequencies;
};

struct NavaidRec {
    NavaidType type{};  // 0 until the reading knows it
    std::string ident, name, region;
    int32_t freq = 0;  // karvel's encoding
    double lat = 0, lon = 0;
};

struct LocaliserRec {
    std::string ident, airport, runway;
    int32_t freq = 0;
    double lat = 0, lon = 0;
};

struct FixRec {
    std::string ident, name, region;  // name: given by version 1200 files only
    std::string terminal;             // the airport of a terminal fix, "ENRT" or empty otherwise
    double lat = 0, lon = 0;
};

// The DME of an ILS, which procedures measure their distances from.
struct IlsDmeRec {
    std::string ident, airport;
    double lat = 0, lon = 0;
};

struct AirwaySegment {
    std::string name;
    std::string ident1, region1, ident2, region2;
    int type1 = 11, type2 = 11;  // AirwayEndType: 11 fix, 2 NDB, 3 VOR (versions 1100 and later)
    int level = 0;               // 1 low, 2 high
    double lat1 = 0, lon1 = 0, lat2 = 0, lon2 = 0;
    bool has_positions = false;  // version 640 gives them
};

// A point a procedure names: its ident, ICAO region and the record kind
// it is ("D" VHF navaid, "DB" NDB, "EA" en-route fix, "PC" terminal fix,
// "PG" runway, "PN" terminal NDB, "PI" localiser, "PA" airport).
struct PointRef {
    std::string ident, region, section;
};

// One leg of a SID or STAR, with its numbers in their own units (degrees,
// nautical miles); a number the row leaves blank is absent.
struct ProcLeg {
    char kind = 'C';  // 'R' runway transition, 'C' common route, 'E' en-route transition
    std::string transition, trackcode, turndir;
    PointRef fix, navaid, centre;
    std::optional<double> theta, rho, course, distance;  // distance in nm, not a time
};

struct ProcedureRec {
    std::string airport;  // the ICAO code the file is named after
    bool sid = true;
    std::string name;
    std::vector<ProcLeg> legs;  // in flying order: a SID's runway part first, a STAR's last
};

struct NavData {
    std::string cycle;  // "1310" for 2013.10
    std::vector<AirportRec> airports;
    std::vector<NavaidRec> navaids;
    std::vector<LocaliserRec> localisers;
    std::vector<IlsDmeRec> ils_dmes;
    std::vector<FixRec> fixes;
    std::vector<AirwaySegment> airways;
    std::vector<ProcedureRec> procedures;
    // Runway rows whose ends do not pair ("LOXX 04/23"): kept, never drawn.
    std::vector<std::string> unpaired_runways;
};

// A file's lines, plain or gzip, ended by LF, CR LF or CR alone; a UTF-8
// byte-order mark at the start is passed over. Throws Error naming the file
// (and the line where it applies) for an unreadable, truncated or unknown
// file, a line longer than kMaxLine bytes (found without reading it whole)
// and a NUL byte: memory stays bounded whatever the input. (Other control
// characters stop the import only in a text it keeps.)
class LineReader {
  public:
    static constexpr size_t kMaxLine = 16384;

    explicit LineReader(const std::string& path);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;
    bool next(std::string& line);  // false at the end
    long number() const { return number_; }
    const std::string& path() const { return path_; }
    [[noreturn]] void fail(const std::string& what) const;

    // Told, as each reader goes through its file, the file's path and the
    // share of it read so far (1 at its end); nothing by default.
    using Progress = std::function<void(const std::string& path, double fraction)>;
    static void set_progress(Progress progress);

  private:
    bool fill();  // more bytes into the buffer; false at the end of the file

    std::string path_;
    void* file_ = nullptr;
    long number_ = 0;
    std::vector<char> buffer_;
    size_t at_ = 0, end_ = 0;
    bool started_ = false;  // the byte-order mark has been looked for
    double size_ = 0;       // of the file as stored, where it is a regular one
};

// The version on the second line ("1000 Version - data cycle 2013.10, ...")
// and the cycle it names, if any.
int read_header(LineReader& in, std::string* cycle);

// apt.dat's row codes both of its readers take, named once.
namespace apt_row {
inline constexpr std::string_view land_airport = "1", seaplane_base = "16", heliport = "17",
                                  runway = "100", helipad = "102", code = "1302", end = "99";
}
// The row begins an airport, a seaplane base or a heliport.
inline bool airport_row(std::string_view c) {
    return c == apt_row::land_airport || c == apt_row::seaplane_base || c == apt_row::heliport;
}

// A runway row (100): its ends named as karvel pairs them ("7R" is "07R";
// "05R" with "23" makes "23L").
RunwayEnds runway_row(const LineReader& in, const std::vector<std::string_view>& t);

// What takes apt.dat's rows: every row but the end, split into fields,
// then end().
class AptRows {
  public:
    virtual ~AptRows() = default;
    virtual void row(const std::vector<std::string_view>& t) = 0;
    virtual void end() = 0;
};
using AptSinks = std::vector<std::function<std::unique_ptr<AptRows>(const LineReader&)>>;

// The airports, their runways and frequencies into `data`.
std::unique_ptr<AptRows> airport_rows(const LineReader& in, NavData& data);

// apt.dat read once, each row handed to every sink in turn; the file's cycle
// into `data` (when given and it has none yet).
void read_apt_rows(const std::string& path, NavData* data, const AptSinks& sinks);

void read_apt(const std::string& path, NavData& data);
void read_nav(const std::string& path, NavData& data);
void read_fix(const std::string& path, NavData& data);
void read_awy(const std::string& path, NavData& data);
// One CIFP file ("LFPG.dat"): the SIDs and STARs of the airport `icao`.
void read_cifp(const std::string& path, const std::string& icao, std::vector<ProcedureRec>& out);
// CIFP files, (ICAO, path) each, read one at a time: each file's procedures
// go to `each` before the next file is read, so that a whole world of them
// is never held at once.
void read_cifp_files(const std::vector<std::pair<std::string, std::string>>& files,
                     const std::function<void(const std::vector<ProcedureRec>&)>& each);

// karvel's frequency encoding: the frequency times 10000 written in decimal
// digits and read as hexadecimal (115.35 MHz is 0x1153500).
int32_t karvel_frequency(double mhz_or_khz);

}  // namespace karvel::xplane
