-- Numbers no record should hold, positions off the globe or missing,
-- idents with a control character or of five million bytes.
update runways set latitude = 1e308 where ident = '09L'
    and airportID = (select ID from airports where ICAO = 'LFPG');
update ILSes set longtitude = 9e999 where ident = 'GLE';
update terminallegs set course = -9e999
    where ID = (select min(ID) from terminallegs where course is not null);
update airports set latitude = 1e308 where ICAO = 'LFMN';
-- Another schema's airports table, where a position may be null.
create table a2 as select * from airports;
drop table airports;
alter table a2 rename to airports;
update airports set longtitude = null where ICAO = 'LFPO';
update waypoints set ident = 'MO' || char(13) || 'PAR' where ident = 'MOPAR';
update waypoints set ident = replace(hex(zeroblob(5000000)), '00', 'XX') where ident = 'CGN';
