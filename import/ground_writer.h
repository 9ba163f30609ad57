// The ground drawings' tables of a navigation database: each airport's
// shapes with their points ring by ring, and its stands.
#pragma once

#include <memory>
#include <string>

#include "import/ground.h"
#include "import/sqlite_writer.h"

namespace karvel::xplane {

// The statements that make the three tables.
extern const char* const kGroundSchemaSql;

// Makes the tables, then writes airports' ground one at a time.
class GroundWriter {
  public:
    explicit GroundWriter(Db& db);
    ~GroundWriter();
    GroundWriter(const GroundWriter&) = delete;
    GroundWriter& operator=(const GroundWriter&) = delete;

    void write(const AirportGround& airport);
    // "ground: N airports, N areas, N lines, N stands, N points".
    std::string summary() const;

  private:
    struct Statements;
    std::unique_ptr<Statements> st_;
    long long shapes_ = 0, points_ = 0, stands_ = 0, airports_ = 0, areas_ = 0, lines_ = 0, names_ = 0;
};

}  // namespace karvel::xplane
