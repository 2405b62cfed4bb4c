-- a script as a user keeps it for the console
SELECT nev, 'it''s; here' AS a, "dq\"; x", `odd;name` FROM ugyfel WHERE nev LIKE 'K%'; # trailing comment
/* block ; comment */ UPDATE munkalap SET statusz = 2 WHERE id = 10;
/*!40101 SET NAMES latin2 */;
DELIMITER $$
CREATE PROCEDURE p()
BEGIN
  SELECT 1; SELECT 2;
END$$
delimiter ;
SELECT 'unfinished
