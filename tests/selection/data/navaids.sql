insert into nav values
(10, 'LGL', '2', 'VOR-DME', 'L''AIGLE', 18100224, 48.79, 0.53),
(11, 'OL', '5', 'NDB', 'ORLY', 57999360, 48.72, 2.23),
(12, 'CAA', '7', 'NDB-DME', 'CAEN', 610304, 49.18, -0.45),
(13, 'TAC', '6', 'TACAN', 'AVORD', 18100224, 47.06, 2.64);
