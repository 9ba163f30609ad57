insert into rw values (1, '1', 'A', '09', 90, 1, 1), (2, '1', 'A', '27', 270, 2, 2),
(3, '2', 'B', '04', 40, 3, 3);
insert into nav values (10, 'LGL', '2', 'VOR-DME', 'L''AIGLE', 18100224, 48.79, 0.53);
insert into ils values (20, '2', 'IAB', 17838080, 1, 1), (21, '3', 'IBB', 17838080, 2, 2),
(22, '', 'INO', 17838080, 2, 2);
