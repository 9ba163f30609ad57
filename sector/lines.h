// Lines of the sector file drawn from point to point: a segment that may
// cross 180 degrees, and [GEO] lines in their named groups.
#pragma once

#include <string>
#include <vector>

#include "core/model.h"

namespace karvel {

// "lat lon" of one position.
std::string position_text(double latitude, double longitude);

// A segment that may cross 180 degrees, or has an end on it: only such a
// segment is looked at closer (most are not, and their lines are written
// as they are).
bool may_cross(double lon1, double lon2);

// [GEO] lines, "lat lon lat lon colour". In the client format a segment
// that crosses 180 degrees is two meeting there, and every line belongs to
// a named group: the first line of a group begins with its name (padded to
// 25 characters), the next ones with as many blanks, so that a radar
// client shows or hides each group apart.
class GeoLines {
  public:
    GeoLines(std::vector<std::string>& lines, bool client) : lines_(lines), client_(client) {}
    void add(const std::string& group, geo_point a, geo_point b, const std::string& colour);
    // Each edge of the ring, the last one back to the first point.
    void ring(const std::string& group, const t_point& ring, const std::string& colour);

  private:
    void write(const std::string& group, const geo_point& from, const geo_point& to,
               const std::string& colour);

    std::vector<std::string>& lines_;
    bool client_;
    bool started_ = false;
    std::string group_;
};

}  // namespace karvel
