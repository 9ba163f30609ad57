-- The ground of LFMN: an apron with a hole, a centreline, a hold line, a stand.
CREATE TABLE groundshapes (ID INTEGER PRIMARY KEY, airport TEXT, kind TEXT, code INTEGER, name TEXT);
CREATE TABLE groundpoints (shapeID INTEGER, ring INTEGER, seq INTEGER, latitude REAL,
                           longtitude REAL, PRIMARY KEY (shapeID, ring, seq)) WITHOUT ROWID;
CREATE TABLE groundstands (ID INTEGER PRIMARY KEY, airport TEXT, name TEXT, kind TEXT,
                           heading REAL, latitude REAL, longtitude REAL);
INSERT INTO groundshapes VALUES (1, 'LFMN', 'pavement', 1, 'Apron'), (2, 'LFMN', 'line', 1, 'Axe'),
    (3, 'LFMN', 'line', 4, 'Stop');
INSERT INTO groundpoints VALUES (1, 0, 0, 43.66, 7.20), (1, 0, 1, 43.66, 7.22),
    (1, 0, 2, 43.67, 7.22), (1, 0, 3, 43.67, 7.20), (1, 1, 0, 43.664, 7.21),
    (1, 1, 1, 43.664, 7.212), (1, 1, 2, 43.666, 7.212), (2, 0, 0, 43.661, 7.201),
    (2, 0, 1, 43.669, 7.219), (3, 0, 0, 43.662, 7.201), (3, 0, 1, 43.662, 7.203);
INSERT INTO groundstands VALUES (1, 'LFMN', 'P "12"', 'gate', 90, 43.665, 7.205);
