insert into rw values (1, '1', 'A', '09', 90, 45.1, 5.1), (2, '1', 'A', '27', 270, 45.2, 5.2);
insert into trm values ('1', '1', 'LFAA', '1', 'STAR A', ''), ('2', '1', 'LFAA', '2', 'SID B', '1'),
('3', '1', 'LFAA', '2', 'SID C', '2'), ('4', '1', 'LFAA', ' 1', 'X', ''),
('5', '1', 'LFAA', '01', 'Y', ''), ('6', '1', 'LFAA', 'S', 'Z', ''),
('7', '1', 'LFAA', '2', 'SID D', '99'), ('1', '1', 'LFAA', '2', 'SID DUP', '1');
insert into leg (ID, terminalid, transition, trackcode, wptLat, wptLon) values
(1, '1', 'RW09', 'IF', 45, 5), (2, '1', 'rw09', 'TF', 45.5, 5.5),
(3, '1', '', 'TF', 46, 6), (4, '2', 'ABC', 'TF', 47, 7), (5, '9', 'X', 'TF', 1, 1);
