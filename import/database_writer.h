// A karvel navigation database written from the records of the X-Plane files.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/file_output.h"
#include "import/ground.h"
#include "import/outlines.h"
#include "import/xplane.h"

namespace karvel::xplane {

// One line per step written.
using Report = std::function<void(const std::string&)>;

// The database at `path`, written under a temporary name and put in place
// when complete as every output is; regions missing from the data come from
// the nearest airport. The constructor writes every table but the
// procedures of the files still to read: those come in batches (one CIFP
// file at a time, so that a whole world of procedures is never held at
// once), then finish() puts the database in place. Destroyed before, it
// leaves the old file as it was and no temporary behind.
class DatabaseWriter {
  public:
    DatabaseWriter(const NavData& data, const std::string& path, Report report);
    // The database begun without its navigation tables, which
    // write_navigation() then writes once (the ground may come before).
    DatabaseWriter(const std::string& path, Report report);
    void write_navigation(const NavData& data);
    ~DatabaseWriter();
    DatabaseWriter(const DatabaseWriter&) = delete;
    DatabaseWriter& operator=(const DatabaseWriter&) = delete;

    void write_procedures(const std::vector<ProcedureRec>& batch);
    // The airspace outlines' tables (a database without them has none).
    void write_outlines(const std::vector<outlines::OutlineFile>& files);
    // The ground drawings' tables, made by begin_ground (empty when no
    // airport has any), then filled one airport at a time.
    void begin_ground();
    void write_ground(const AirportGround& airport);
    void finish();

  private:
    struct Open;
    Report report_;
    bool procedures_ = false;  // some came with the navigation data
    size_t batches_ = 0;
    std::unique_ptr<OutputFiles> files_;
    std::unique_ptr<Open> open_;  // closed before files_ is committed or removed
};

// The whole database of `data` at once (its procedures included).
void write_database(const NavData& data, const std::string& path, const Report& report);

}  // namespace karvel::xplane
