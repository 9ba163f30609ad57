-- The tables the loader tests fill: the columns the loaders read, named as
-- the selection statements name them.
create table apt (ID integer, ICAO text, name text, latitude real, longtitude real);
insert into apt values (1, 'LFAA', 'ALPHA', 45, 5), (2, 'LFBB', 'BRAVO', 46, 6);
create table rw (ID integer, airportID text, name text, ident text, trueheading real,
                 latitude real, longtitude real);
create table nav (ID integer, ident text, type text, desc text, name text, freq integer,
                  latitude real, longtitude real);
create table ils (ID integer, runwayID text, ident text, freq integer, latitude real,
                  longtitude real);
create table wpt (ID integer, ident text, name text, latitude real, longtitude real);
create table awy (ID integer, airwayID text, ident text, waypoint1ID text, waypoint2ID text);
create table trm (ID text, airportID text, ICAO text, proc text, name text, rwyid text);
create table leg (ID integer, terminalid text, type text, transition text, trackcode text,
  wptid text, wptLat real, wptLon real, turndir text, navid text, navlat real, navlon real,
  navbear real, navdist real, course real, distance real, centerid text, centerlat real,
  centerlon real);
