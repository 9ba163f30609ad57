// SIDs and STARs written into the database: one procedure per SID runway
// transition, each leg with the points it names.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "import/places.h"

namespace karvel::xplane {

class ProcedureWriter {
  public:
    ProcedureWriter(Db& db, const NavData& d, const WrittenPlaces& written, Waypoints& waypoints);

    // The procedures of one batch (one CIFP file), written as they come.
    void write(const std::vector<ProcedureRec>& procedures);
    // What was written, in one line: SIDs, STARs, legs, what was left out.
    std::string summary(size_t files) const;

  private:
    // The columns of one leg, or nothing when it needs a place no file gives.
    struct Columns {
        const ProcLeg* leg;
        std::optional<Places::Found> fix, navaid, centre;
    };
    std::optional<Columns> columns(const ProcLeg& l, size_t airport);
    void write_leg(long long terminal_id, const Columns& c);
    void write_terminal(const ProcedureRec& p, size_t airport, std::optional<long long> runway,
                        const std::vector<Columns>& rows);
    void write_procedure(const ProcedureRec& p);
    void write_sid(const ProcedureRec& p, size_t airport, const std::vector<Columns>& rows);

    const NavData& d_;
    const WrittenPlaces& written_;
    Waypoints& waypoints_;
    Places places_;
    Insert terminal_, leg_;
    long long terminals_ = 0, legs_ = 0, sids_ = 0, stars_ = 0, no_airport_ = 0, unplaced_ = 0;
};

}  // namespace karvel::xplane
