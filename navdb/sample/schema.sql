-- Schema of the karvel navigation database (SQLite).
--
-- Names and letter case as the selection statements use them; the longitude
-- columns are spelled "longtitude" throughout. Text columns compare without
-- regard to case, as the Access databases the program also reads do.
-- navaids.freq and ILSes.freq hold the frequency times 10000 written in
-- decimal digits and read as hexadecimal: 114.30 MHz is 0x1143000.

CREATE TABLE config (
    key  TEXT COLLATE NOCASE PRIMARY KEY,
    val  TEXT COLLATE NOCASE
);

CREATE TABLE airports (
    ID          INTEGER PRIMARY KEY,
    ICAO        TEXT COLLATE NOCASE NOT NULL,
    name        TEXT COLLATE NOCASE,
    latitude    REAL NOT NULL,
    longtitude  REAL NOT NULL,
    elevation   INTEGER             -- feet
);

-- An airport's radio frequencies, in kHz: kind 0 ATIS, 1 UNICOM or CTAF,
-- 2 clearance delivery, 3 ground, 4 tower, 5 approach, 6 departure.
CREATE TABLE airportfreqs (
    airportID  INTEGER NOT NULL REFERENCES airports(ID),
    kind       INTEGER NOT NULL,
    khz        INTEGER NOT NULL,
    name       TEXT
);

CREATE TABLE navaidtypes (
    type  INTEGER PRIMARY KEY,
    desc  TEXT COLLATE NOCASE
);

CREATE TABLE navaids (
    ID          INTEGER PRIMARY KEY,
    ident       TEXT COLLATE NOCASE NOT NULL,
    type        INTEGER NOT NULL REFERENCES navaidtypes(type),
    name        TEXT COLLATE NOCASE,
    freq        INTEGER,
    latitude    REAL NOT NULL,
    longtitude  REAL NOT NULL
);

CREATE TABLE waypoints (
    ID          INTEGER PRIMARY KEY,
    ident       TEXT COLLATE NOCASE NOT NULL,
    name        TEXT COLLATE NOCASE,
    latitude    REAL NOT NULL,
    longtitude  REAL NOT NULL
);

CREATE TABLE runways (
    ID           INTEGER PRIMARY KEY,
    airportID    INTEGER NOT NULL REFERENCES airports(ID),
    ident        TEXT COLLATE NOCASE NOT NULL,
    trueheading  REAL,
    latitude     REAL,              -- threshold
    longtitude   REAL,
    length       INTEGER            -- metres
);

CREATE TABLE ILSes (
    ID          INTEGER PRIMARY KEY,
    runwayID    INTEGER NOT NULL REFERENCES runways(ID),
    ident       TEXT COLLATE NOCASE,
    freq        INTEGER,
    latitude    REAL,               -- localiser antenna
    longtitude  REAL
);

-- proc: "1" STAR, "2" SID (text, compared as written)
CREATE TABLE Terminals (
    ID         INTEGER PRIMARY KEY,
    airportID  INTEGER NOT NULL REFERENCES airports(ID),
    ICAO       TEXT COLLATE NOCASE,
    proc       TEXT COLLATE NOCASE,
    name       TEXT COLLATE NOCASE,
    rwyid      INTEGER              -- runways.ID of the runway end, SIDs
);

-- One row per leg, in flying order within a procedure. type: "R" runway
-- transition, "C" common route, "E" en-route transition.
CREATE TABLE terminallegs (
    ID          INTEGER PRIMARY KEY,
    terminalid  INTEGER NOT NULL REFERENCES Terminals(ID),
    type        TEXT COLLATE NOCASE,
    transition  TEXT COLLATE NOCASE,
    trackcode   TEXT COLLATE NOCASE,  -- path terminator: IF TF CF DF FD CD CI VI CR VR AF VA CA HM
    wptid       INTEGER,
    wptLat      REAL,
    wptLon      REAL,
    turndir     TEXT COLLATE NOCASE,
    navid       INTEGER,
    navlat      REAL,
    navlon      REAL,
    navbear     REAL,
    navdist     REAL,
    course      REAL,
    distance    REAL,
    centerid    INTEGER,
    centerlat   REAL,
    centerlon   REAL
);

CREATE TABLE airways (
    id     INTEGER PRIMARY KEY,
    ident  TEXT COLLATE NOCASE NOT NULL
);

-- level: 'low', 'high' or 'both' where the source says; NULL where it does
-- not (such a segment is written as a high airway).
CREATE TABLE airwaylegs (
    ID           INTEGER PRIMARY KEY,
    airwayid     INTEGER NOT NULL REFERENCES airways(id),
    waypoint1ID  INTEGER NOT NULL REFERENCES waypoints(ID),
    waypoint2ID  INTEGER NOT NULL REFERENCES waypoints(ID),
    level        TEXT
);

-- Region lookups: extid begins with the region code; country is the code.
CREATE TABLE airportlookup (
    id     INTEGER NOT NULL REFERENCES airports(ID),
    extid  TEXT COLLATE NOCASE
);
CREATE TABLE navaidlookup (
    id       INTEGER NOT NULL REFERENCES navaids(ID),
    country  TEXT COLLATE NOCASE
);
CREATE TABLE waypointlookup (
    id       INTEGER NOT NULL REFERENCES waypoints(ID),
    country  TEXT COLLATE NOCASE
);

-- The joins and filters of the selections. terminallegs(terminalid) stays a
-- single-column index so that legs come back in their row order.
CREATE INDEX airports_icao          ON airports (ICAO);
CREATE INDEX airports_latitude      ON airports (latitude);
CREATE INDEX airportfreqs_airport   ON airportfreqs (airportID);
CREATE INDEX navaids_latitude       ON navaids (latitude);
CREATE INDEX navaids_type           ON navaids (type);
CREATE INDEX waypoints_latitude     ON waypoints (latitude);
CREATE INDEX runways_airport        ON runways (airportID);
CREATE INDEX ilses_runway           ON ILSes (runwayID);
CREATE INDEX terminals_airport      ON Terminals (airportID);
CREATE INDEX terminallegs_terminal  ON terminallegs (terminalid);
CREATE INDEX airwaylegs_airway      ON airwaylegs (airwayid);
CREATE INDEX airwaylegs_waypoint1   ON airwaylegs (waypoint1ID);
CREATE INDEX airportlookup_id       ON airportlookup (id);
CREATE INDEX airportlookup_extid    ON airportlookup (extid);
CREATE INDEX navaidlookup_id        ON navaidlookup (id);
CREATE INDEX navaidlookup_country   ON navaidlookup (country);
CREATE INDEX waypointlookup_id      ON waypointlookup (id);
CREATE INDEX waypointlookup_country ON waypointlookup (country);
